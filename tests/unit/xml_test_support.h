#pragma once
// Helpers of the XML tests: handlers that log every callback, and the German locale.
#include <gtest/gtest.h>
#include <oleauto.h>
#include <clocale>
#include <map>
#include <string>
#include "saxschemaparser.h"
#include "support/errorinfo_helpers.h"
#include "winkit/unique_bstr.h"
#include "xmltext.h"

inline winkit::UniqueBstr Bstr(std::wstring_view text) { return winkit::UniqueBstr::Copy(text); }

// A string in quotes, a number as the document writes it, true or false; " invalid"
// follows a text that was empty or did not convert.
inline std::wstring DescribeValue(const SchemaValue& value) {
    wchar_t number[kXmlNumberBufferSize];
    std::wstring text = value.type == kValueString   ? L"\"" + std::wstring(value.value.text) + L"\""
                        : value.type == kValueDouble ? std::wstring(number, FormatXmlDouble(value.value.number, number))
                        : value.type == kValueLong   ? std::to_wstring(value.value.integer)
                        : value.value.boolean        ? L"true"
                                                     : L"false";
    return value.invalid ? text + L" invalid" : text;
}

// Logs each callback as "name.Call(arguments)", blank-separated (white space between
// elements left out). Children are given by element id; `results` scripts the HRESULT of
// a call by its logged text, and a scripted failure leaves `failureDocument`, if any, as
// the thread's error information.
template <class Base>
class Recorder : public Base {
public:
    Recorder(std::wstring& log, std::wstring name) : log_(log), name_(std::move(name)) {}

    std::map<int, SAXSchemaElementHandler*> children;
    std::map<std::wstring, HRESULT> results;
    const wchar_t* failureDocument = nullptr;
    const std::wstring& name() const { return name_; }

    HRESULT OnStart(int id) override { return Record(L"Start", id); }
    HRESULT OnEnd(int id) override { return Record(L"End", id); }
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override {
        *handler = children.count(childId) ? children.at(childId) : nullptr;
        return Record(L"GetChild", childId);
    }
    HRESULT OnChildEnd(int childId, SAXSchemaElementHandler* child) override {
        auto* recording = dynamic_cast<Recorder<SAXSchemaElementHandler>*>(child);
        return Record(L"ChildEnd", childId, recording ? recording->name() : child ? L"?" : L"null");
    }
    HRESULT OnAttribute(int id, SchemaValue value) override { return Record(L"Attr", id, DescribeValue(value)); }
    HRESULT OnElementValue(int id, SchemaValue value) override { return Record(L"Value", id, DescribeValue(value)); }
    HRESULT OnCharacters(const wchar_t* text, int length) override {
        std::wstring piece(text, length);
        return piece.find_first_not_of(L" \t\r\n") == std::wstring::npos ? S_OK : Record(L"Chars(\"" + piece + L"\")");
    }

private:
    HRESULT Record(const wchar_t* call, int id, const std::wstring& more = L"") {
        return Record(call + (L"(" + std::to_wstring(id)) + (more.empty() ? L"" : L"," + more) + L")");
    }
    HRESULT Record(const std::wstring& call) {
        std::wstring line = name_ + L"." + call;
        log_ += (log_.empty() ? L"" : L" ") + line;
        HRESULT hr = results.count(line) ? results.at(line) : S_OK;
        if (FAILED(hr) && failureDocument) PlantThreadError(L"Handler", failureDocument);
        return hr;
    }

    std::wstring& log_;
    std::wstring name_;
};

using RecordingHandler = Recorder<SAXSchemaElementHandler>;

// A parser over any schema whose document level records like the handlers ("doc").
class RecordingParser : public Recorder<SAXSchemaParser> {
public:
    RecordingParser(const SchemaEntry* schema, std::wstring& log) : Recorder(log, L"doc"), schema_(schema) {}
    const SchemaEntry* GetSchema() override { return schema_; }
    void SetOptions(bool ignoreCase, bool skipUndeclared) {
        ignoreCase_ = ignoreCase;
        skipUndeclared_ = skipUndeclared;
    }
    HRESULT Parse(std::wstring_view text) { return ParseString(Bstr(text).get()); }

private:
    const SchemaEntry* schema_;
};

// Runs fn with the process locale set to German, where the C runtime writes and reads a
// decimal comma, then restores the locale.
template <class Fn>
void WithGermanLocale(Fn&& fn) {
    std::string previous = setlocale(LC_ALL, nullptr);
    ASSERT_NE(nullptr, setlocale(LC_ALL, "German_Germany"));
    wchar_t runtime[16];
    swprintf(runtime, 16, L"%.1f", 1.5);
    EXPECT_STREQ(L"1,5", runtime);  // the locale is really in force
    fn();
    setlocale(LC_ALL, previous.c_str());
}
