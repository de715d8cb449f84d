#pragma once
// Helpers of the XML tests: the thread's error information, and element handlers that
// record every callback as one line, so that a test compares whole call sequences with
// a table (in the manner of Wine's SAX reader tests).
#include <gtest/gtest.h>
#include <oleauto.h>
#include <clocale>
#include <map>
#include <string>
#include <vector>
#include "saxschemaparser.h"
#include "support/errorinfo_helpers.h"
#include "winkit/unique_bstr.h"
#include "xmltext.h"

inline winkit::UniqueBstr Bstr(std::wstring_view text) { return winkit::UniqueBstr::Copy(text); }

inline std::wstring DescribeValue(const SchemaValue& value) {
    std::wstring text;
    switch (value.type) {
    case kValueString: text = L"string \"" + std::wstring(value.value.text) + L"\""; break;
    case kValueDouble: {
        wchar_t number[kXmlNumberBufferSize];
        FormatXmlDouble(value.value.number, number);
        text = std::wstring(L"double ") + number;
        break;
    }
    case kValueLong: text = L"long " + std::to_wstring(value.value.integer); break;
    case kValueBool: text = value.value.boolean ? L"bool true" : L"bool false"; break;
    default: text = L"type " + std::to_wstring(value.type); break;
    }
    return value.invalid ? text + L" invalid" : text;
}

using CallLog = std::vector<std::wstring>;

// Records each callback as "name.Operation(arguments)". Children are given by element
// id (an id without entry gives no handler); `results` scripts the HRESULT of a call by
// its recorded line.
class RecordingHandler : public SAXSchemaElementHandler {
public:
    RecordingHandler(CallLog& log, std::wstring name) : log_(log), name_(std::move(name)) {}

    std::map<int, SAXSchemaElementHandler*> children;
    std::map<std::wstring, HRESULT> results;
    bool recordWhitespace = false;

    HRESULT OnStart(int id) override { return Record(L"OnStart(" + std::to_wstring(id) + L")"); }
    HRESULT OnEnd(int id) override { return Record(L"OnEnd(" + std::to_wstring(id) + L")"); }
    HRESULT GetChildHandler(int childId, SAXSchemaElementHandler** handler) override {
        auto found = children.find(childId);
        *handler = found == children.end() ? nullptr : found->second;
        return Record(L"GetChildHandler(" + std::to_wstring(childId) + L")");
    }
    HRESULT OnChildEnd(int childId, SAXSchemaElementHandler* child) override {
        auto* recording = dynamic_cast<RecordingHandler*>(child);
        return Record(L"OnChildEnd(" + std::to_wstring(childId) + L", " +
                      (recording ? recording->name_ : child ? L"?" : L"null") + L")");
    }
    HRESULT OnAttribute(int id, SchemaValue value) override {
        return Record(L"OnAttribute(" + std::to_wstring(id) + L", " + DescribeValue(value) + L")");
    }
    HRESULT OnElementValue(int id, SchemaValue value) override {
        return Record(L"OnElementValue(" + std::to_wstring(id) + L", " + DescribeValue(value) + L")");
    }
    HRESULT OnCharacters(const wchar_t* text, int length) override {
        std::wstring piece(text, length);
        if (!recordWhitespace && piece.find_first_not_of(L" \t\r\n") == std::wstring::npos) return S_OK;
        return Record(L"OnCharacters(\"" + piece + L"\")");
    }

    const std::wstring& name() const { return name_; }

private:
    HRESULT Record(const std::wstring& call) {
        std::wstring line = name_ + L"." + call;
        log_.push_back(line);
        auto scripted = results.find(line);
        return scripted == results.end() ? S_OK : scripted->second;
    }

    CallLog& log_;
    std::wstring name_;
};

// A parser over any table whose document level records like the handlers ("doc").
class RecordingParser : public SAXSchemaParser {
public:
    RecordingParser(const SchemaEntry* schema, CallLog& log) : schema_(schema), document(log, L"doc") {}

    const SchemaEntry* GetSchema() override { return schema_; }
    HRESULT OnStart(int id) override { return document.OnStart(id); }
    HRESULT OnEnd(int id) override { return document.OnEnd(id); }
    HRESULT GetChildHandler(int id, SAXSchemaElementHandler** handler) override {
        return document.GetChildHandler(id, handler);
    }
    HRESULT OnChildEnd(int id, SAXSchemaElementHandler* child) override { return document.OnChildEnd(id, child); }
    HRESULT OnAttribute(int id, SchemaValue value) override { return document.OnAttribute(id, value); }
    HRESULT OnElementValue(int id, SchemaValue value) override { return document.OnElementValue(id, value); }
    HRESULT OnCharacters(const wchar_t* text, int length) override { return document.OnCharacters(text, length); }

    void SetIgnoreCase(bool value) { ignoreCase_ = value; }
    void SetSkipUndeclared(bool value) { skipUndeclared_ = value; }

    HRESULT Parse(std::wstring_view text) { return ParseString(Bstr(text).get()); }

private:
    const SchemaEntry* schema_;

public:
    RecordingHandler document;
};

// Runs fn with the process locale set to German (decimal comma), then restores it.
template <class Fn>
void WithGermanLocale(Fn&& fn) {
    std::string previous = setlocale(LC_ALL, nullptr);
    ASSERT_NE(nullptr, setlocale(LC_ALL, "German_Germany"));
    fn();
    setlocale(LC_ALL, previous.c_str());
}
