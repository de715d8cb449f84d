#pragma once
// The formatting and escaping of an XML writer, on top of the concrete writer's
// WriteRaw. T is the concrete writer, Interface the writer interface it implements.
#include <cwchar>
#include "diagnostics/traced.h"
#include "qrxmlwriter.h"
#include "variantconversion.h"
#include "winkit/unique_bstr.h"
#include "xmltext.h"

template <class T, class Interface>
class QRXMLWriterImpl : public Interface {
public:
    bool STDMETHODCALLTYPE GetFormatted() override { return formatted_; }
    void STDMETHODCALLTYPE SetFormatted(bool formatted) override { formatted_ = formatted; }

    HRESULT STDMETHODCALLTYPE WriteDeclaration() override {
        return Traced(L"QRXMLWriterImpl::WriteDeclaration", 0, [&](QRComException& xhr) {
            Raw(xhr, L"<?xml version=\"1.0\"?>", 21);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteAttribute(const wchar_t* name, const VARIANT& value) override {
        return Traced(L"QRXMLWriterImpl::WriteAttribute", 0, [&](QRComException& xhr) {
            WriteVariant(xhr, name, value, /*element=*/false);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteAttributeDouble(const wchar_t* name, double value) override {
        return Traced(L"QRXMLWriterImpl::WriteAttributeDouble", 0, [&](QRComException& xhr) {
            wchar_t number[kXmlNumberBufferSize];
            AttributeDouble(xhr, name, value, number);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteAttributeLong(const wchar_t* name, long value) override {
        return Traced(L"QRXMLWriterImpl::WriteAttributeLong", 0, [&](QRComException& xhr) {
            wchar_t number[kXmlNumberBufferSize];
            Attribute(xhr, name, number, FormatXmlLong(value, number), /*escape=*/false);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteAttributeBool(const wchar_t* name, bool value) override {
        return Traced(L"QRXMLWriterImpl::WriteAttributeBool", 0, [&](QRComException& xhr) {
            Attribute(xhr, name, value ? L"1" : L"0", 1, /*escape=*/false);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteAttributeString(const wchar_t* name, const wchar_t* value) override {
        return Traced(L"QRXMLWriterImpl::WriteAttributeString", 0, [&](QRComException& xhr) {
            AttributeString(xhr, name, value);
        });
    }

    HRESULT STDMETHODCALLTYPE StartElement(const wchar_t* name) override {
        return Traced(L"QRXMLWriterImpl::StartElement", 0, [&](QRComException& xhr) { Start(xhr, name); });
    }

    HRESULT STDMETHODCALLTYPE EndElement(const wchar_t* name) override {
        return Traced(L"QRXMLWriterImpl::EndElement", 0, [&](QRComException& xhr) { End(xhr, name); });
    }

    HRESULT STDMETHODCALLTYPE CloseStartTag() override {
        return Traced(L"QRXMLWriterImpl::CloseStartTag", 0, [&](QRComException& xhr) { CloseOpenStartTag(xhr); });
    }

    HRESULT STDMETHODCALLTYPE WriteCData(const wchar_t* text) override {
        return Traced(L"QRXMLWriterImpl::WriteCData", 0, [&](QRComException& xhr) {
            CloseOpenStartTag(xhr);
            if (text && *text) {
                Raw(xhr, L"<![CDATA[", 9);
                // "]]>" would end the section: split it between two sections.
                const wchar_t* rest = text;
                while (const wchar_t* end = std::wcsstr(rest, L"]]>")) {
                    Raw(xhr, rest, end - rest);
                    Raw(xhr, L"]]><![CDATA[]]]]><![CDATA[>", 27);
                    rest = end + 3;
                }
                Raw(xhr, rest, std::wcslen(rest));
                Raw(xhr, L"]]>", 3);
            }
        });
    }

    HRESULT STDMETHODCALLTYPE WriteText(const wchar_t* text) override {
        return Traced(L"QRXMLWriterImpl::WriteText", 0, [&](QRComException& xhr) { Text(xhr, text); });
    }

    HRESULT STDMETHODCALLTYPE WriteElement(const wchar_t* name, const VARIANT& value) override {
        return Traced(L"QRXMLWriterImpl::WriteElement", 0, [&](QRComException& xhr) {
            WriteVariant(xhr, name, value, /*element=*/true);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteElementDouble(const wchar_t* name, double value) override {
        return Traced(L"QRXMLWriterImpl::WriteElementDouble", 0, [&](QRComException& xhr) {
            wchar_t number[kXmlNumberBufferSize];
            SimpleElement(xhr, name, number, FormatXmlDouble(value, number));
        });
    }

    HRESULT STDMETHODCALLTYPE WriteElementLong(const wchar_t* name, long value) override {
        return Traced(L"QRXMLWriterImpl::WriteElementLong", 0, [&](QRComException& xhr) {
            wchar_t number[kXmlNumberBufferSize];
            SimpleElement(xhr, name, number, FormatXmlLong(value, number));
        });
    }

    HRESULT STDMETHODCALLTYPE WriteElementBool(const wchar_t* name, bool value) override {
        return Traced(L"QRXMLWriterImpl::WriteElementBool", 0, [&](QRComException& xhr) {
            SimpleElement(xhr, name, value ? L"1" : L"0", 1);
        });
    }

    HRESULT STDMETHODCALLTYPE WriteElementString(const wchar_t* name, const wchar_t* text) override {
        return Traced(L"QRXMLWriterImpl::WriteElementString", 0, [&](QRComException& xhr) {
            ElementString(xhr, name, text);
        });
    }

private:
    T& Self() { return *static_cast<T*>(this); }

    // Every piece goes through the concrete writer; its failure ends the operation.
    void Raw(QRComException& xhr, const wchar_t* text, size_t length) {
        HRESULT hr = Self().WriteRaw(text, static_cast<ULONG>(length));
        if (FAILED(hr)) {
            xhr.SetResult(hr);
            xhr.Rethrow();
        }
    }

    void Escaped(QRComException& xhr, const wchar_t* text, size_t length) {
        ForEachEscapedRun(text, length, [&](const wchar_t* run, size_t n) { Raw(xhr, run, n); });
    }

    void CloseOpenStartTag(QRComException& xhr) {
        if (!startTagOpen_) return;
        Raw(xhr, L">", 1);
        startTagOpen_ = false;
    }

    // A line feed and two blanks per level, when formatted.
    void NewLineAndIndent(QRComException& xhr, int depth) {
        if (!formatted_) return;
        static const wchar_t kBlanks[] = L"\n                                                                ";
        constexpr int kLevelsPerPiece = (sizeof kBlanks / sizeof kBlanks[0] - 2) / 2;
        int levels = depth < kLevelsPerPiece ? depth : kLevelsPerPiece;
        Raw(xhr, kBlanks, 1 + 2 * static_cast<size_t>(levels > 0 ? levels : 0));
        for (depth -= levels; depth > 0; depth -= levels) {
            levels = depth < kLevelsPerPiece ? depth : kLevelsPerPiece;
            Raw(xhr, kBlanks + 1, 2 * static_cast<size_t>(levels));
        }
    }

    // A writer asked for an element without a name would produce a broken document.
    static void CheckName(QRComException& xhr, const wchar_t* name) {
        if (!name || !*name) xhr.Throw(QR_HERE, E_INVALIDARG, L"An XML element must have a name");
    }

    void Start(QRComException& xhr, const wchar_t* name) {
        CheckName(xhr, name);
        CloseOpenStartTag(xhr);
        NewLineAndIndent(xhr, depth_);
        Raw(xhr, L"<", 1);
        Raw(xhr, name, std::wcslen(name));
        ++depth_;
        elementClosed_ = false;
        startTagOpen_ = true;
    }

    void End(QRComException& xhr, const wchar_t* name) {
        if (depth_ == 0) xhr.Throw(QR_HERE, E_FAIL, L"Cannot close more XML elements than are currently open");
        if (!startTagOpen_) CheckName(xhr, name);
        --depth_;
        if (startTagOpen_) {
            startTagOpen_ = false;
            Raw(xhr, L"/>", 2);
        } else {
            if (elementClosed_) NewLineAndIndent(xhr, depth_);
            Raw(xhr, L"</", 2);
            Raw(xhr, name, std::wcslen(name));
            Raw(xhr, L">", 1);
        }
        elementClosed_ = true;
    }

    void Text(QRComException& xhr, const wchar_t* text) {
        CloseOpenStartTag(xhr);
        if (text && *text) Escaped(xhr, text, std::wcslen(text));
    }

    void Attribute(QRComException& xhr, const wchar_t* name, const wchar_t* value, size_t length, bool escape) {
        if (!name || !value) xhr.Throw(QR_HERE, E_FAIL, L"An XML Attribute must have a name and a value");
        if (!startTagOpen_) xhr.Throw(QR_HERE, E_FAIL, L"Cannot write attributes outside of an element start");
        Raw(xhr, L" ", 1);
        Raw(xhr, name, std::wcslen(name));
        Raw(xhr, L"=\"", 2);
        if (escape) Escaped(xhr, value, length);
        else Raw(xhr, value, length);
        Raw(xhr, L"\"", 1);
    }

    void AttributeString(QRComException& xhr, const wchar_t* name, const wchar_t* value) {
        if (!value) value = L"";
        Attribute(xhr, name, value, std::wcslen(value), /*escape=*/true);
    }

    void AttributeDouble(QRComException& xhr, const wchar_t* name, double value,
                         wchar_t (&number)[kXmlNumberBufferSize]) {
        Attribute(xhr, name, number, FormatXmlDouble(value, number), /*escape=*/false);
    }

    void SimpleElement(QRComException& xhr, const wchar_t* name, const wchar_t* value, size_t length) {
        CheckName(xhr, name);
        CloseOpenStartTag(xhr);
        NewLineAndIndent(xhr, depth_);
        size_t nameLength = std::wcslen(name);
        Raw(xhr, L"<", 1);
        Raw(xhr, name, nameLength);
        if (length == 0) {
            Raw(xhr, L"/>", 2);
        } else {
            Raw(xhr, L">", 1);
            Raw(xhr, value, length);
            Raw(xhr, L"</", 2);
            Raw(xhr, name, nameLength);
            Raw(xhr, L">", 1);
        }
        elementClosed_ = true;
    }

    void ElementString(QRComException& xhr, const wchar_t* name, const wchar_t* text) {
        Start(xhr, name);
        if (text && *text) Text(xhr, text);
        End(xhr, name);
    }

    // The VARIANT's type chooses the form; VT_BYREF|VT_VARIANT is looked through once.
    void WriteVariant(QRComException& xhr, const wchar_t* name, const VARIANT& input, bool element) {
        const wchar_t* refusal = element ? L"Could not convert element value to a string"
                                         : L"Could not convert attribute value to a string";
        const VARIANT& value = DereferenceVariant(input);
        wchar_t number[kXmlNumberBufferSize];
        HRESULT hr = S_OK;
        switch (V_VT(&value) & ~VT_BYREF) {
        case VT_EMPTY:
        case VT_NULL:
            if (element) ElementString(xhr, name, nullptr);
            else AttributeString(xhr, name, nullptr);
            return;
        case VT_I2: case VT_I4: case VT_I1: case VT_UI1: case VT_UI2: case VT_UI4: case VT_INT: case VT_UINT: {
            long converted = 0;
            hr = VariantToLong(value, &converted, false);
            if (FAILED(hr)) break;
            size_t length = FormatXmlLong(converted, number);
            if (element) SimpleElement(xhr, name, number, length);
            else Attribute(xhr, name, number, length, /*escape=*/false);
            return;
        }
        case VT_R4: case VT_R8: case VT_DATE: {
            double converted = 0;
            hr = VariantToDouble(value, &converted, false);
            if (FAILED(hr)) break;
            size_t length = FormatXmlDouble(converted, number);
            if (element) SimpleElement(xhr, name, number, length);
            else Attribute(xhr, name, number, length, /*escape=*/false);
            return;
        }
        case VT_BSTR: {
            winkit::UniqueBstr text;
            hr = VariantToString(value, text.put());
            if (FAILED(hr)) break;
            if (element) ElementString(xhr, name, text.get());
            else AttributeString(xhr, name, text.get());
            return;
        }
        case VT_BOOL: {
            bool converted = false;
            hr = VariantToBool(value, &converted, false);
            if (FAILED(hr)) break;
            if (element) SimpleElement(xhr, name, converted ? L"1" : L"0", 1);
            else Attribute(xhr, name, converted ? L"1" : L"0", 1, /*escape=*/false);
            return;
        }
        default:
            hr = E_FAIL;
            break;
        }
        xhr.Throw(QR_HERE, hr, refusal);
    }

    bool startTagOpen_ = false;
    bool formatted_ = true;
    bool elementClosed_ = false;
    int depth_ = 0;
};
