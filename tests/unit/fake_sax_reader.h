#pragma once
// A stand-in for the MSXML 6 SAX reader, to drive the parser where Wine's reader never goes.
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "support/fake_com.h"
#include "saxidentifiers.h"

// Nothing else is asked of a reader or a locator.
#define NOT_ASKED(Method, ...) STDMETHODIMP Method(__VA_ARGS__) override { return E_NOTIMPL; }

class FakeLocator : public testcom::FakeComObject<ISAXLocator> {
public:
    FakeLocator(int line, int column) : line_(line), column_(column) {}
    STDMETHODIMP getColumnNumber(int* column) override { return *column = column_, S_OK; }
    STDMETHODIMP getLineNumber(int* line) override { return *line = line_, S_OK; }
    NOT_ASKED(getPublicId, const wchar_t**) NOT_ASKED(getSystemId, const wchar_t**)

private:
    int line_, column_;
};

class FakeSaxReader : public testcom::FakeComObject<ISAXXMLReader> {
public:
    std::function<HRESULT(ISAXContentHandler*, ISAXErrorHandler*)> script;
    std::vector<std::wstring> features;  // "name=true" or "name=false", in call order
    winkit::ComPtr<ISAXContentHandler> content;
    winkit::ComPtr<ISAXErrorHandler> errors;
    std::wstring parsedText;

    STDMETHODIMP putFeature(const wchar_t* name, VARIANT_BOOL value) override {
        features.push_back(std::wstring(name) + (value ? L"=true" : L"=false"));
        return S_OK;
    }
    STDMETHODIMP putContentHandler(ISAXContentHandler* handler) override { return content = winkit::ComPtr(handler), S_OK; }
    STDMETHODIMP putErrorHandler(ISAXErrorHandler* handler) override { return errors = winkit::ComPtr(handler), S_OK; }
    STDMETHODIMP parse(VARIANT input) override {
        parsedText = V_VT(&input) == VT_BSTR && V_BSTR(&input) ? V_BSTR(&input) : L"";
        return script ? script(content.get(), errors.get()) : S_OK;
    }
    NOT_ASKED(getFeature, const wchar_t*, VARIANT_BOOL*) NOT_ASKED(getProperty, const wchar_t*, VARIANT*)
    NOT_ASKED(putProperty, const wchar_t*, VARIANT) NOT_ASKED(getEntityResolver, ISAXEntityResolver**)
    NOT_ASKED(putEntityResolver, ISAXEntityResolver*) NOT_ASKED(getContentHandler, ISAXContentHandler**)
    NOT_ASKED(getDTDHandler, ISAXDTDHandler**) NOT_ASKED(putDTDHandler, ISAXDTDHandler*)
    NOT_ASKED(getErrorHandler, ISAXErrorHandler**) NOT_ASKED(getBaseURL, const wchar_t**)
    NOT_ASKED(putBaseURL, const wchar_t*) NOT_ASKED(getSecureBaseURL, const wchar_t**)
    NOT_ASKED(putSecureBaseURL, const wchar_t*) NOT_ASKED(parseURL, const wchar_t*)
};
#undef NOT_ASKED

struct FakeReaderRegistration {
    testcom::Fake<FakeSaxReader> reader;
    testcom::Fake<testcom::FakeClassFactory> factory{reader.get()};
    testcom::ClassRegistration registration{CLSID_SAXXMLReader60, factory.get()};
};
