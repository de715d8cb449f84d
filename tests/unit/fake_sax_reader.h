#pragma once
// A stand-in for the MSXML 6 SAX reader, registered for CLSID_SAXXMLReader60 in this
// process only: its parse runs a script of callbacks the test chooses, so that the
// parser can be driven where Wine's reader never goes (errors reported through
// error(), exact locator positions, nesting deeper than the reader allows, a reader
// that cannot be created). The fakes live on the test's stack: their reference
// counts only count.
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "saxidentifiers.h"

class FakeLocator : public ISAXLocator {
public:
    FakeLocator(int line, int column) : line_(line), column_(column) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_ISAXLocator ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP getColumnNumber(int* column) override { return *column = column_, S_OK; }
    STDMETHODIMP getLineNumber(int* line) override { return *line = line_, S_OK; }
    STDMETHODIMP getPublicId(const wchar_t** id) override { return *id = nullptr, E_NOTIMPL; }
    STDMETHODIMP getSystemId(const wchar_t** id) override { return *id = nullptr, E_NOTIMPL; }
    LONG refs = 0;

private:
    int line_, column_;
};

class FakeAttributes : public ISAXAttributes {
public:
    FakeAttributes() = default;
    FakeAttributes(std::vector<std::pair<std::wstring, std::wstring>> attributes) : list_(std::move(attributes)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_ISAXAttributes ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP getLength(int* length) override { return *length = static_cast<int>(list_.size()), S_OK; }
    STDMETHODIMP getLocalName(int i, const wchar_t** name, int* length) override {
        *name = list_[i].first.c_str();
        *length = static_cast<int>(list_[i].first.size());
        return S_OK;
    }
    STDMETHODIMP getValue(int i, const wchar_t** value, int* length) override {
        *value = list_[i].second.c_str();
        *length = static_cast<int>(list_[i].second.size());
        return S_OK;
    }
    STDMETHODIMP getURI(int, const wchar_t**, int*) override { return E_NOTIMPL; }
    STDMETHODIMP getQName(int, const wchar_t**, int*) override { return E_NOTIMPL; }
    STDMETHODIMP getName(int, const wchar_t**, int*, const wchar_t**, int*, const wchar_t**, int*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP getIndexFromName(const wchar_t*, int, const wchar_t*, int, int*) override { return E_NOTIMPL; }
    STDMETHODIMP getIndexFromQName(const wchar_t*, int, int*) override { return E_NOTIMPL; }
    STDMETHODIMP getType(int, const wchar_t**, int*) override { return E_NOTIMPL; }
    STDMETHODIMP getTypeFromName(const wchar_t*, int, const wchar_t*, int, const wchar_t**, int*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP getTypeFromQName(const wchar_t*, int, const wchar_t**, int*) override { return E_NOTIMPL; }
    STDMETHODIMP getValueFromName(const wchar_t*, int, const wchar_t*, int, const wchar_t**, int*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP getValueFromQName(const wchar_t*, int, const wchar_t**, int*) override { return E_NOTIMPL; }

private:
    std::vector<std::pair<std::wstring, std::wstring>> list_;
};

class FakeSaxReader : public ISAXXMLReader {
public:
    using Script = std::function<HRESULT(ISAXContentHandler*, ISAXErrorHandler*)>;
    Script script;
    std::vector<std::wstring> features;  // "name=true" or "name=false", in call order
    ISAXContentHandler* content = nullptr;
    ISAXErrorHandler* errors = nullptr;
    std::wstring parsedText;
    LONG refs = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_ISAXXMLReader ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP getFeature(const wchar_t*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    STDMETHODIMP putFeature(const wchar_t* name, VARIANT_BOOL value) override {
        features.push_back(std::wstring(name) + (value ? L"=true" : L"=false"));
        return S_OK;
    }
    STDMETHODIMP getProperty(const wchar_t*, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP putProperty(const wchar_t*, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP getEntityResolver(ISAXEntityResolver**) override { return E_NOTIMPL; }
    STDMETHODIMP putEntityResolver(ISAXEntityResolver*) override { return E_NOTIMPL; }
    STDMETHODIMP getContentHandler(ISAXContentHandler**) override { return E_NOTIMPL; }
    STDMETHODIMP putContentHandler(ISAXContentHandler* handler) override { return Hold(content, handler); }
    STDMETHODIMP getDTDHandler(ISAXDTDHandler**) override { return E_NOTIMPL; }
    STDMETHODIMP putDTDHandler(ISAXDTDHandler*) override { return E_NOTIMPL; }
    STDMETHODIMP getErrorHandler(ISAXErrorHandler**) override { return E_NOTIMPL; }
    STDMETHODIMP putErrorHandler(ISAXErrorHandler* handler) override { return Hold(errors, handler); }
    STDMETHODIMP getBaseURL(const wchar_t**) override { return E_NOTIMPL; }
    STDMETHODIMP putBaseURL(const wchar_t*) override { return E_NOTIMPL; }
    STDMETHODIMP getSecureBaseURL(const wchar_t**) override { return E_NOTIMPL; }
    STDMETHODIMP putSecureBaseURL(const wchar_t*) override { return E_NOTIMPL; }
    STDMETHODIMP parse(VARIANT input) override {
        parsedText = V_VT(&input) == VT_BSTR && V_BSTR(&input) ? V_BSTR(&input) : L"";
        return script ? script(content, errors) : S_OK;
    }
    STDMETHODIMP parseURL(const wchar_t*) override { return E_NOTIMPL; }

private:
    template <class T>
    HRESULT Hold(T*& slot, T* handler) {
        if (handler) handler->AddRef();
        if (slot) slot->Release();
        slot = handler;
        return S_OK;
    }
};

// Registers a class object for CLSID_SAXXMLReader60 in this process for its lifetime;
// creation hands out `reader`, or fails with `failure` when it is a failure.
class FakeReaderRegistration : public IClassFactory {
public:
    explicit FakeReaderRegistration(FakeSaxReader* reader, HRESULT failure = S_OK)
        : reader_(reader), failure_(failure) {
        CoRegisterClassObject(CLSID_SAXXMLReader60, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
    }
    ~FakeReaderRegistration() { CoRevokeClassObject(cookie_); }
    FakeReaderRegistration(const FakeReaderRegistration&) = delete;
    FakeReaderRegistration& operator=(const FakeReaderRegistration&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        *out = nullptr;
        if (FAILED(failure_)) return failure_;
        return reader_->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    FakeSaxReader* reader_;
    HRESULT failure_;
    DWORD cookie_ = 0;
};
