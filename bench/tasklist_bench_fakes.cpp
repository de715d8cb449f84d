#include "tasklist_bench_fakes.h"

namespace {

class AnsweringRequest final : public IServiceRequest {
public:
    explicit AnsweringRequest(const std::wstring& answer) : answer_(answer) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IServiceRequest) {
            *out = static_cast<IServiceRequest*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (!n) delete this;
        return n;
    }
    STDMETHODIMP SetComponent(BSTR) override { return S_OK; }
    STDMETHODIMP SetMethod(BSTR) override { return S_OK; }
    STDMETHODIMP SetInput(BSTR) override { return S_OK; }
    STDMETHODIMP GetOutput(BSTR* text) override {
        *text = SysAllocStringLen(answer_.data(), static_cast<UINT>(answer_.size()));
        return *text ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP SetFlags(LONG) override { return S_OK; }
    STDMETHODIMP Execute(LONG) override { return S_OK; }
    STDMETHODIMP BeginInput() override { return S_OK; }
    STDMETHODIMP BeginElement(BSTR) override { return S_OK; }
    STDMETHODIMP AddField(BSTR, VARIANT) override { return S_OK; }
    STDMETHODIMP EndElement(BSTR) override { return S_OK; }

private:
    const std::wstring& answer_;
    ULONG refs_ = 1;
};

template <class Interface>
class Dispatch : public Interface {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (!n) delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    virtual ~Dispatch() = default;

protected:
    HRESULT Answer(REFIID iid, REFIID own, void** out) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == own) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    ULONG refs_ = 1;
};

VARIANT Bool(bool value) {
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

class EmptyNode final : public Dispatch<ISettingsNode> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return Answer(iid, IID_ISettingsNode, out); }
    STDMETHODIMP GetValue(BSTR, VARIANT* found, BSTR* text) override {
        *found = Bool(false);
        *text = SysAllocString(L"");
        return S_OK;
    }
    STDMETHODIMP GetName(BSTR* name) override { *name = SysAllocString(L""); return S_OK; }
    STDMETHODIMP SetValue(BSTR, VARIANT* written, BSTR) override { *written = Bool(true); return S_OK; }
    STDMETHODIMP OpenChild(BSTR, ISettingsNode** child) override { *child = new EmptyNode; return S_OK; }
    STDMETHODIMP DeleteChild(BSTR) override { return S_OK; }
    STDMETHODIMP EndEntries() override { return S_OK; }
    STDMETHODIMP BeginEntries() override { return S_OK; }
};

class EmptyGlobals final : public Dispatch<IGlobals> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return Answer(iid, IID_IGlobals, out); }
    STDMETHODIMP GetSettingsRoot(BSTR* root) override { *root = SysAllocString(L"Bench"); return S_OK; }
    STDMETHODIMP GetToolsVersion(BSTR* version) override { *version = SysAllocString(L""); return S_OK; }
    STDMETHODIMP GetVersionSpecificIdentifier(BSTR id, BSTR* out) override { *out = SysAllocString(id); return S_OK; }
};

template <class Object>
class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override {
        Object* object = new Object;
        HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

Factory<EmptyGlobals> globalsFactory;
Factory<EmptyNode> nodeFactory;

} // namespace

STDMETHODIMP AnsweringWorkspace::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IWorkspace) {
        *out = static_cast<IWorkspace*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP AnsweringWorkspace::GetUserName(BSTR* name) { *name = SysAllocString(L"bench"); return S_OK; }
STDMETHODIMP AnsweringWorkspace::GetWorkspacePath(BSTR* path) { *path = SysAllocString(L""); return S_OK; }
STDMETHODIMP AnsweringWorkspace::GetWorkspaceName(BSTR* name) { *name = SysAllocString(L"Bench"); return S_OK; }
STDMETHODIMP AnsweringWorkspace::CreateServiceRequest(IServiceRequest** request) {
    *request = new AnsweringRequest(answer_);
    return S_OK;
}

EmptySettingsStore::EmptySettingsStore() {
    CoRegisterClassObject(CLSID_QRClientToolsGlobals, &globalsFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &globals_);
    CoRegisterClassObject(CLSID_QRClientToolsSettingsNode, &nodeFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &node_);
}

EmptySettingsStore::~EmptySettingsStore() {
    CoRevokeClassObject(globals_);
    CoRevokeClassObject(node_);
}
