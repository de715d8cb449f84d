#include "support/fake_settings_store.h"

#include <algorithm>
#include <stdexcept>
#include "support/errorinfo_helpers.h"

namespace {

FakeSettingsStore* current = nullptr;

std::wstring Text(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

// The IDispatch part that nothing here uses.
template <class Interface>
class FakeDispatchObject : public Interface {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    virtual ~FakeDispatchObject() = default;

protected:
    // A failure leaves error information naming the call, as a real component would.
    HRESULT Call(const std::wstring& line, const wchar_t* source) {
        HRESULT hr = FakeSettingsStore::Current().Call(line);
        if (FAILED(hr)) PlantThreadError(source, (L"settings store failed: " + line).c_str());
        return hr;
    }

    ULONG refs_ = 1;
};

class FakeNode final : public FakeDispatchObject<ISettingsNode>, public ISupportErrorInfo {
public:
    explicit FakeNode(std::wstring path) : path_(std::move(path)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ISettingsNode) *out = static_cast<ISettingsNode*>(this);
        else if (iid == IID_ISupportErrorInfo) *out = static_cast<ISupportErrorInfo*>(this);
        else { *out = nullptr; return E_NOINTERFACE; }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FakeDispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FakeDispatchObject::Release(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return iid == IID_ISettingsNode ? S_OK : S_FALSE; }

    STDMETHODIMP GetValue(BSTR name, VARIANT* found, BSTR* text) override {
        VariantInit(found);
        *text = nullptr;
        HRESULT hr = Call(L"GetValue " + path_ + L" " + Text(name), L"SettingsNode::GetValue");
        if (FAILED(hr)) return hr;
        auto& store = FakeSettingsStore::Current();
        auto node = store.values.find(path_);
        bool present = node != store.values.end() && node->second.count(Text(name));
        Result(found, present);
        *text = SysAllocString(present ? node->second.at(Text(name)).c_str() : L"");
        return S_OK;
    }
    STDMETHODIMP GetName(BSTR* name) override { *name = SysAllocString(path_.c_str()); return S_OK; }
    STDMETHODIMP SetValue(BSTR name, VARIANT* written, BSTR text) override {
        VariantInit(written);
        HRESULT hr = Call(L"SetValue " + path_ + L" " + Text(name) + L"=" + Text(text), L"SettingsNode::SetValue");
        if (FAILED(hr)) return hr;
        auto& store = FakeSettingsStore::Current();
        bool refused = Text(name) == L"Name";
        refused = refused && std::find(store.refusedNamePaths.begin(), store.refusedNamePaths.end(), path_) !=
                                 store.refusedNamePaths.end();
        if (!refused) store.values[path_][Text(name)] = Text(text);
        Result(written, !refused);
        return S_OK;
    }
    STDMETHODIMP OpenChild(BSTR name, ISettingsNode** child) override {
        *child = nullptr;
        std::wstring path = path_.empty() ? Text(name) : path_ + L"/" + Text(name);
        HRESULT hr = Call(L"OpenChild " + path, L"SettingsNode::OpenChild");
        if (FAILED(hr)) return hr;
        *child = new FakeNode(path);
        return S_OK;
    }
    STDMETHODIMP DeleteChild(BSTR) override { return E_NOTIMPL; }
    // Ends the numbered entries at this node: it and every later number go away.
    STDMETHODIMP EndEntries() override {
        HRESULT hr = Call(L"EndEntries " + path_, L"SettingsNode::EndEntries");
        if (FAILED(hr)) return hr;
        size_t slash = path_.rfind(L'/');
        std::wstring parent = path_.substr(0, slash + 1);
        int first = _wtoi(path_.c_str() + slash + 1);
        auto& values = FakeSettingsStore::Current().values;
        for (auto it = values.begin(); it != values.end();) {
            const std::wstring& p = it->first;
            bool later = p.compare(0, parent.size(), parent) == 0 && p.find(L'/', parent.size()) == std::wstring::npos &&
                         _wtoi(p.c_str() + parent.size()) >= first;
            it = later ? values.erase(it) : std::next(it);
        }
        return S_OK;
    }
    STDMETHODIMP BeginEntries() override { return Call(L"BeginEntries " + path_, L"SettingsNode::BeginEntries"); }

private:
    static void Result(VARIANT* out, bool value) {
        VARTYPE type = FakeSettingsStore::Current().resultType;
        if (type == VT_BOOL) {
            V_VT(out) = VT_BOOL;
            V_BOOL(out) = value ? VARIANT_TRUE : VARIANT_FALSE;
        } else if (type == VT_BSTR) {
            V_VT(out) = VT_BSTR;
            V_BSTR(out) = SysAllocString(value ? L"True" : L"False");
        } else {
            V_VT(out) = VT_I4;
            V_I4(out) = value ? 1 : 0;
        }
    }

    std::wstring path_;
};

class FakeGlobals final : public FakeDispatchObject<IGlobals>, public ISupportErrorInfo {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IGlobals) *out = static_cast<IGlobals*>(this);
        else if (iid == IID_ISupportErrorInfo) *out = static_cast<ISupportErrorInfo*>(this);
        else { *out = nullptr; return E_NOINTERFACE; }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FakeDispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FakeDispatchObject::Release(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return iid == IID_IGlobals ? S_OK : S_FALSE; }

    STDMETHODIMP GetSettingsRoot(BSTR* root) override {
        *root = nullptr;
        HRESULT hr = Call(L"GetSettingsRoot", L"Globals::GetSettingsRoot");
        if (SUCCEEDED(hr)) *root = SysAllocString(FakeSettingsStore::Current().rootName.c_str());
        return hr;
    }
    STDMETHODIMP GetToolsVersion(BSTR* version) override { *version = SysAllocString(L"3.8"); return S_OK; }
    STDMETHODIMP GetVersionSpecificIdentifier(BSTR id, BSTR* out) override { *out = SysAllocString(id); return S_OK; }
};

class FakeFactory final : public IClassFactory {
public:
    explicit FakeFactory(bool globals) : globals_(globals) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        HRESULT hr = FakeSettingsStore::Current().Call(globals_ ? L"create Globals" : L"create SettingsNode");
        if (FAILED(hr)) return hr;
        IUnknown* object = globals_ ? static_cast<IUnknown*>(static_cast<IGlobals*>(new FakeGlobals))
                                    : static_cast<IUnknown*>(static_cast<ISettingsNode*>(new FakeNode(L"")));
        hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    bool globals_;
};

FakeFactory globalsFactory(true);
FakeFactory nodeFactory(false);

} // namespace

FakeSettingsStore::FakeSettingsStore() {
    if (current) throw std::logic_error("one FakeSettingsStore at a time");
    current = this;
    CoRegisterClassObject(CLSID_QRClientToolsGlobals, &globalsFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &globalsCookie_);
    CoRegisterClassObject(CLSID_QRClientToolsSettingsNode, &nodeFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                          &nodeCookie_);
}

FakeSettingsStore::~FakeSettingsStore() {
    CoRevokeClassObject(globalsCookie_);
    CoRevokeClassObject(nodeCookie_);
    current = nullptr;
}

FakeSettingsStore& FakeSettingsStore::Current() {
    if (!current) throw std::logic_error("no FakeSettingsStore");
    return *current;
}

std::wstring FakeSettingsStore::Get(const std::wstring& path, const std::wstring& name) const {
    auto node = values.find(path);
    if (node == values.end()) return L"(absent)";
    auto value = node->second.find(name);
    return value == node->second.end() ? L"(absent)" : value->second;
}

HRESULT FakeSettingsStore::Call(const std::wstring& line) {
    log.push_back(line);
    return !failingCall.empty() && line == failingCall ? failure : S_OK;
}

std::wstring ColumnPath(int i) { return L"Root/ToDoListSettings/Columns/" + std::to_wstring(i); }
