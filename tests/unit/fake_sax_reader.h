#pragma once
// A stand-in for the MSXML 6 SAX reader, registered for CLSID_SAXXMLReader60 in this
// process only: its parse runs a script of callbacks the test chooses, so that the
// parser can be driven where Wine's reader never goes (errors reported through error(),
// exact locator positions, nesting deeper than the reader allows, a reader that cannot
// be created). Elements are started without attributes.
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "support/fake_com.h"
#include "saxidentifiers.h"

class FakeLocator : public testcom::FakeComObject<ISAXLocator> {
public:
    FakeLocator(int line, int column) : line_(line), column_(column) {}
    STDMETHODIMP getColumnNumber(int* column) override { return *column = column_, S_OK; }
    STDMETHODIMP getLineNumber(int* line) override { return *line = line_, S_OK; }
    STDMETHODIMP getPublicId(const wchar_t** id) override { return *id = nullptr, E_NOTIMPL; }
    STDMETHODIMP getSystemId(const wchar_t** id) override { return *id = nullptr, E_NOTIMPL; }

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
    int parses = 0;

    STDMETHODIMP putFeature(const wchar_t* name, VARIANT_BOOL value) override {
        features.push_back(std::wstring(name) + (value ? L"=true" : L"=false"));
        return S_OK;
    }
    STDMETHODIMP putContentHandler(ISAXContentHandler* handler) override { return content = winkit::ComPtr(handler), S_OK; }
    STDMETHODIMP putErrorHandler(ISAXErrorHandler* handler) override { return errors = winkit::ComPtr(handler), S_OK; }
    STDMETHODIMP parse(VARIANT input) override {
        ++parses;
        parsedText = V_VT(&input) == VT_BSTR && V_BSTR(&input) ? V_BSTR(&input) : L"";
        return script ? script(content.get(), errors.get()) : S_OK;
    }
    STDMETHODIMP getFeature(const wchar_t*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP getProperty(const wchar_t*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP putProperty(const wchar_t*, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP getEntityResolver(ISAXEntityResolver**) override { return E_NOTIMPL; }
    STDMETHODIMP putEntityResolver(ISAXEntityResolver*) override { return E_NOTIMPL; }
    STDMETHODIMP getContentHandler(ISAXContentHandler**) override { return E_NOTIMPL; }
    STDMETHODIMP getDTDHandler(ISAXDTDHandler**) override { return E_NOTIMPL; }
    STDMETHODIMP putDTDHandler(ISAXDTDHandler*) override { return E_NOTIMPL; }
    STDMETHODIMP getErrorHandler(ISAXErrorHandler**) override { return E_NOTIMPL; }
    STDMETHODIMP getBaseURL(const wchar_t**) override { return E_NOTIMPL; }
    STDMETHODIMP putBaseURL(const wchar_t*) override { return E_NOTIMPL; }
    STDMETHODIMP getSecureBaseURL(const wchar_t**) override { return E_NOTIMPL; }
    STDMETHODIMP putSecureBaseURL(const wchar_t*) override { return E_NOTIMPL; }
    STDMETHODIMP parseURL(const wchar_t*) override { return E_NOTIMPL; }
};

// The stand-in registered for this process while the object lives; `factory->failure`
// makes its creation fail.
struct FakeReaderRegistration {
    testcom::Fake<FakeSaxReader> reader;
    testcom::Fake<testcom::FakeClassFactory> factory{reader.get()};
    testcom::ClassRegistration registration{CLSID_SAXXMLReader60, factory.get()};
};
