#include "support/fault_proxies.h"

#include <cwctype>
#include <map>
#include <utility>
#include <vector>
#include "support/fault_plan.h"
#include "winkit/com_ptr.h"

namespace fault {
namespace {

LONG live = 0;

bool Fails(const std::wstring& call) { return FaultPlan::Get().ShouldFail(call); }

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

// Numbered settings entries are one site whatever their number.
std::wstring EntryLabel(BSTR name) {
    std::wstring text = Text(name);
    if (text.empty()) return text;
    for (wchar_t c : text)
        if (!std::iswdigit(c)) return text;
    return L"<n>";
}

template <class I>
HRESULT Hand(I* self, void** out) {
    *out = self;
    self->AddRef();
    return S_OK;
}

// Reference counting and the live count shared by every proxy. Each proxy also answers
// ISupportErrorInfo for all its interfaces, so that callers take the error information
// a failure leaves.
class ProxyRoot {
protected:
    ProxyRoot() { ++live; }
    virtual ~ProxyRoot() { --live; }
    ULONG AddRefImpl() { return ++refs_; }
    ULONG ReleaseImpl() {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }

private:
    ULONG refs_ = 1;
};

#define FAULT_REFCOUNT                                                  \
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }    \
    STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }  \
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

// The IDispatch half of a dual interface: nothing in the library calls it; forwarded.
#define FAULT_FORWARD_DISPATCH(inner)                                                                   \
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner->GetTypeInfoCount(n); }              \
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner->GetTypeInfo(i, l, t); } \
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {            \
        return inner->GetIDsOfNames(r, n, c, l, d);                                                     \
    }                                                                                                   \
    STDMETHODIMP Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override { \
        return inner->Invoke(d, r, l, f, p, v, e, a);                                                   \
    }

void EmptyText(BSTR* text) {
    if (text) *text = nullptr;
}

void EmptyVariant(VARIANT* value) {
    if (value) VariantInit(value);
}

class RequestProxy final : public ProxyRoot, public IServiceRequest, public ISupportErrorInfo {
public:
    // `creationEvent`: the plan's event of the CreateServiceRequest that made it (-1: none).
    RequestProxy(IServiceRequest* inner, int creationEvent) : inner_(inner) {
        if (creationEvent >= 0) unnamed_.push_back(creationEvent);
    }
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IServiceRequest) return Hand(static_cast<IServiceRequest*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }

    STDMETHODIMP SetComponent(BSTR progId) override {
        return Ask(L"SetComponent") ? kInjectedFailure : inner_->SetComponent(progId);
    }
    STDMETHODIMP SetMethod(BSTR method) override {
        // Later calls belong to the method the library meant, whether or not it took;
        // so do the calls made before the first method was known.
        method_ = Text(method);
        for (int event : unnamed_) FaultPlan::Get().Relabel(event, L" [" + method_ + L"]");
        unnamed_.clear();
        return Fails(Call(L"SetMethod")) ? kInjectedFailure : inner_->SetMethod(method);
    }
    STDMETHODIMP SetInput(BSTR text) override {
        return Fails(Call(L"SetInput")) ? kInjectedFailure : inner_->SetInput(text);
    }
    STDMETHODIMP GetOutput(BSTR* text) override {
        if (!Fails(Call(L"GetOutput"))) return inner_->GetOutput(text);
        EmptyText(text);
        return kInjectedFailure;
    }
    STDMETHODIMP SetFlags(LONG flags) override {
        return Ask(L"SetFlags") ? kInjectedFailure : inner_->SetFlags(flags);
    }
    STDMETHODIMP Execute(LONG reserved) override {
        // A record missing a field may name another task (a default index) to a framework
        // that does not insist on every field: it must not be executed.
        if (recordBroken_) FaultPlan::Get().Flag(L"executed " + Call(L"Execute") + L" after its record could not be built");
        return Fails(Call(L"Execute")) ? kInjectedFailure : inner_->Execute(reserved);
    }
    STDMETHODIMP BeginInput() override { return Record(L"BeginInput") ? kInjectedFailure : inner_->BeginInput(); }
    STDMETHODIMP BeginElement(BSTR name) override {
        return Record(L"BeginElement") ? kInjectedFailure : inner_->BeginElement(name);
    }
    STDMETHODIMP AddField(BSTR name, VARIANT value) override {
        return Record(L"AddField") ? kInjectedFailure : inner_->AddField(name, value);
    }
    STDMETHODIMP EndElement(BSTR name) override {
        return Record(L"EndElement") ? kInjectedFailure : inner_->EndElement(name);
    }

private:
    // The framework method names the site once it is known; SetFlags and SetComponent
    // come before it.
    std::wstring Call(const wchar_t* member) const {
        std::wstring call = std::wstring(L"IServiceRequest::") + member;
        return method_.empty() ? call : call + L" [" + method_ + L"]";
    }
    // A call that may come before the method: named once the method is set.
    bool Ask(const wchar_t* member) {
        bool fail = Fails(Call(member));
        if (method_.empty()) unnamed_.push_back(FaultPlan::Get().LastEvent());
        return fail;
    }

    // A call building the input record.
    bool Record(const wchar_t* member) {
        bool fail = Fails(Call(member));
        recordBroken_ |= fail;
        return fail;
    }

    winkit::ComPtr<IServiceRequest> inner_;
    std::wstring method_;
    std::vector<int> unnamed_;  // plan events waiting for the method's name
    bool recordBroken_ = false;
};

class WorkspaceProxy final : public ProxyRoot, public IWorkspace, public IDispatch, public ISupportErrorInfo {
public:
    WorkspaceProxy(IWorkspace* inner, IDispatch* dispatch) : inner_(inner), dispatch_(dispatch) {}
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) return Hand(static_cast<IWorkspace*>(this), out);
        if (iid == IID_IWorkspace) {
            if (Fails(L"IWorkspace::QueryInterface(IWorkspace)")) return kInjectedFailure;
            return Hand(static_cast<IWorkspace*>(this), out);
        }
        if (iid == IID_IDispatch) {
            if (Fails(L"IWorkspace::QueryInterface(IDispatch)")) return kInjectedFailure;
            return Hand(static_cast<IDispatch*>(this), out);
        }
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }

    STDMETHODIMP GetUserName(BSTR* name) override {
        if (!Fails(L"IWorkspace::GetUserName")) return inner_->GetUserName(name);
        EmptyText(name);
        return kInjectedFailure;
    }
    STDMETHODIMP GetWorkspacePath(BSTR* path) override {
        if (!Fails(L"IWorkspace::GetWorkspacePath")) return inner_->GetWorkspacePath(path);
        EmptyText(path);
        return kInjectedFailure;
    }
    STDMETHODIMP GetWorkspaceName(BSTR* name) override {
        if (!Fails(L"IWorkspace::GetWorkspaceName")) return inner_->GetWorkspaceName(name);
        EmptyText(name);
        return kInjectedFailure;
    }
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override {
        if (!request) return inner_->CreateServiceRequest(request);
        *request = nullptr;
        if (Fails(L"IWorkspace::CreateServiceRequest")) return kInjectedFailure;
        int creation = FaultPlan::Get().LastEvent();
        winkit::ComPtr<IServiceRequest> made;
        HRESULT hr = inner_->CreateServiceRequest(made.put());
        if (made) *request = new RequestProxy(made.get(), creation);
        return hr;
    }

    FAULT_FORWARD_DISPATCH(dispatch_)

private:
    winkit::ComPtr<IWorkspace> inner_;
    winkit::ComPtr<IDispatch> dispatch_;
};

class GlobalsProxy final : public ProxyRoot, public IGlobals, public ISupportErrorInfo {
public:
    explicit GlobalsProxy(IGlobals* inner) : inner_(inner) {}
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IGlobals) return Hand(static_cast<IGlobals*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }
    FAULT_FORWARD_DISPATCH(inner_)

    STDMETHODIMP GetSettingsRoot(BSTR* root) override {
        if (!Fails(L"IGlobals::GetSettingsRoot")) return inner_->GetSettingsRoot(root);
        EmptyText(root);
        return kInjectedFailure;
    }
    STDMETHODIMP GetToolsVersion(BSTR* version) override {
        if (!Fails(L"IGlobals::GetToolsVersion")) return inner_->GetToolsVersion(version);
        EmptyText(version);
        return kInjectedFailure;
    }
    STDMETHODIMP GetVersionSpecificIdentifier(BSTR identifier, BSTR* versioned) override {
        if (!Fails(L"IGlobals::GetVersionSpecificIdentifier")) return inner_->GetVersionSpecificIdentifier(identifier, versioned);
        EmptyText(versioned);
        return kInjectedFailure;
    }

private:
    winkit::ComPtr<IGlobals> inner_;
};

class SettingsNodeProxy final : public ProxyRoot, public ISettingsNode, public ISupportErrorInfo {
public:
    explicit SettingsNodeProxy(ISettingsNode* inner) : inner_(inner) {}
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ISettingsNode)
            return Hand(static_cast<ISettingsNode*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }
    FAULT_FORWARD_DISPATCH(inner_)

    STDMETHODIMP GetValue(BSTR name, VARIANT* found, BSTR* text) override {
        if (!Fails(L"ISettingsNode::GetValue(" + EntryLabel(name) + L")")) return inner_->GetValue(name, found, text);
        EmptyVariant(found);
        EmptyText(text);
        return kInjectedFailure;
    }
    STDMETHODIMP GetName(BSTR* name) override {
        if (!Fails(L"ISettingsNode::GetName")) return inner_->GetName(name);
        EmptyText(name);
        return kInjectedFailure;
    }
    STDMETHODIMP SetValue(BSTR name, VARIANT* written, BSTR text) override {
        if (!Fails(L"ISettingsNode::SetValue(" + EntryLabel(name) + L")")) return inner_->SetValue(name, written, text);
        EmptyVariant(written);
        return kInjectedFailure;
    }
    STDMETHODIMP OpenChild(BSTR name, ISettingsNode** child) override {
        if (!child) return inner_->OpenChild(name, child);
        *child = nullptr;
        if (Fails(L"ISettingsNode::OpenChild(" + EntryLabel(name) + L")")) return kInjectedFailure;
        winkit::ComPtr<ISettingsNode> opened;
        HRESULT hr = inner_->OpenChild(name, opened.put());
        if (opened) *child = WrapSettingsNode(opened.get());
        return hr;
    }
    STDMETHODIMP DeleteChild(BSTR name) override {
        return Fails(L"ISettingsNode::DeleteChild") ? kInjectedFailure : inner_->DeleteChild(name);
    }
    STDMETHODIMP EndEntries() override {
        return Fails(L"ISettingsNode::EndEntries") ? kInjectedFailure : inner_->EndEntries();
    }
    STDMETHODIMP BeginEntries() override {
        return Fails(L"ISettingsNode::BeginEntries") ? kInjectedFailure : inner_->BeginEntries();
    }

private:
    winkit::ComPtr<ISettingsNode> inner_;
};

class AdapterProxy final : public ProxyRoot, public IQREFOldClientServices, public ISupportErrorInfo {
public:
    explicit AdapterProxy(IQREFOldClientServices* inner) : inner_(inner) {}
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IQREFOldClientServices)
            return Hand(static_cast<IQREFOldClientServices*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }
    FAULT_FORWARD_DISPATCH(inner_)

    STDMETHODIMP UnInitialize() override { return Fails(Call(L"UnInitialize")) ? kInjectedFailure : inner_->UnInitialize(); }
    STDMETHODIMP SetRestore(BSTR restore) override {
        return Fails(Call(L"SetRestore")) ? kInjectedFailure : inner_->SetRestore(restore);
    }
    STDMETHODIMP get_XMLFileName(BSTR* name) override {
        if (!Fails(Call(L"get_XMLFileName"))) return inner_->get_XMLFileName(name);
        EmptyText(name);
        return kInjectedFailure;
    }
    STDMETHODIMP put_XMLFileName(BSTR name) override {
        return Fails(Call(L"put_XMLFileName")) ? kInjectedFailure : inner_->put_XMLFileName(name);
    }
    STDMETHODIMP get_AdapterVersion(BSTR* version) override {
        if (!Fails(Call(L"get_AdapterVersion"))) return inner_->get_AdapterVersion(version);
        EmptyText(version);
        return kInjectedFailure;
    }
    STDMETHODIMP SetProductName(BSTR name) override {
        return Fails(Call(L"SetProductName")) ? kInjectedFailure : inner_->SetProductName(name);
    }
    STDMETHODIMP SetFrameworkData(BSTR signature, BSTR url, BSTR plant, BSTR user, BSTR name) override {
        return Fails(Call(L"SetFrameworkData")) ? kInjectedFailure : inner_->SetFrameworkData(signature, url, plant, user, name);
    }
    STDMETHODIMP SetPlantData(BSTR plant, BSTR area, BSTR unit) override {
        return Fails(Call(L"SetPlantData")) ? kInjectedFailure : inner_->SetPlantData(plant, area, unit);
    }
    STDMETHODIMP Initialize(IDispatch* workspace) override {
        return Fails(Call(L"Initialize")) ? kInjectedFailure : inner_->Initialize(workspace);
    }
    STDMETHODIMP ConnectToEF() override { return Fails(Call(L"ConnectToEF")) ? kInjectedFailure : inner_->ConnectToEF(); }
    STDMETHODIMP Publish(BSTR oid) override { return Fails(Call(L"Publish")) ? kInjectedFailure : inner_->Publish(oid); }
    STDMETHODIMP Retrieve() override { return Fails(Call(L"Retrieve")) ? kInjectedFailure : inner_->Retrieve(); }
    STDMETHODIMP FindDocsToPublish() override {
        return Fails(Call(L"FindDocsToPublish")) ? kInjectedFailure : inner_->FindDocsToPublish();
    }
    STDMETHODIMP LaunchFrameworkBrowser() override {
        return Fails(Call(L"LaunchFrameworkBrowser")) ? kInjectedFailure : inner_->LaunchFrameworkBrowser();
    }
    STDMETHODIMP Register(IDispatch* workspace) override {
        return Fails(Call(L"Register")) ? kInjectedFailure : inner_->Register(workspace);
    }
    STDMETHODIMP GetProjectList(SAFEARRAY** projects) override {
        if (!Fails(Call(L"GetProjectList"))) return inner_->GetProjectList(projects);
        if (projects) *projects = nullptr;
        return kInjectedFailure;
    }
    STDMETHODIMP PublishProjectAsBuilt(BSTR name) override {
        return Fails(Call(L"PublishProjectAsBuilt")) ? kInjectedFailure : inner_->PublishProjectAsBuilt(name);
    }
    STDMETHODIMP SynchronizeClaims(BSTR claims, BSTR* message) override {
        if (!Fails(Call(L"SynchronizeClaims"))) return inner_->SynchronizeClaims(claims, message);
        EmptyText(message);
        return kInjectedFailure;
    }
    STDMETHODIMP Revise(BSTR oid) override { return Fails(Call(L"Revise")) ? kInjectedFailure : inner_->Revise(oid); }

private:
    static std::wstring Call(const wchar_t* member) { return std::wstring(L"IQREFOldClientServices::") + member; }

    winkit::ComPtr<IQREFOldClientServices> inner_;
};

class SelectionProxy final : public ProxyRoot, public IDispatch, public IRunnableObject, public ISupportErrorInfo {
public:
    explicit SelectionProxy(IDispatch* inner) : inner_(inner) {}
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch) return Hand(static_cast<IDispatch*>(this), out);
        if (iid == DIID_DQRCSelectKBDlg) {
            if (Fails(L"QRCSelectKBDlg::QueryInterface(DQRCSelectKBDlg)")) return kInjectedFailure;
            return Hand(static_cast<IDispatch*>(this), out);
        }
        if (iid == IID_IRunnableObject) return Hand(static_cast<IRunnableObject*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {
        return inner_->GetIDsOfNames(r, n, c, l, d);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override {
        std::wstring member = id == DISPID_QRCSELECTKBDLG_RUNCOMMAND ? L"RunCommand" : L"#" + std::to_wstring(id);
        std::wstring call = L"DQRCSelectKBDlg::Invoke(" + member + L")";
        if (!Fails(call)) return inner_->Invoke(id, r, l, f, p, v, e, a);
        // A late-bound component reports its failure in the exception information when
        // the caller gives a place for it.
        if (!e || !FaultPlan::Get().LeavesErrorInfo()) return kInjectedFailure;
        *e = EXCEPINFO{};
        e->bstrSource = SysAllocString(call.c_str());
        e->bstrDescription = SysAllocString(FaultPlan::InjectedDescription(call).c_str());
        e->scode = kInjectedFailure;
        return DISP_E_EXCEPTION;
    }

    // OleRun asks for this and calls Run.
    STDMETHODIMP GetRunningClass(LPCLSID clsid) override {
        if (!clsid) return E_INVALIDARG;
        *clsid = CLSID_QRCSelectKBDlg;
        return S_OK;
    }
    STDMETHODIMP Run(LPBINDCTX) override { return Fails(L"IRunnableObject::Run") ? kInjectedFailure : S_OK; }
    STDMETHODIMP_(BOOL) IsRunning() override { return TRUE; }
    STDMETHODIMP LockRunning(BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

private:
    winkit::ComPtr<IDispatch> inner_;
};

// The member names of each kind of spreadsheet object, learned from the lookups, so that
// a site names the member an id stands for.
std::map<std::pair<std::wstring, DISPID>, std::wstring>& MemberNames() {
    static std::map<std::pair<std::wstring, DISPID>, std::wstring> names;
    return names;
}

// The kind of object a member of a kind returns.
std::wstring ResultKind(const std::wstring& kind, const std::wstring& member) {
    static const struct {
        const wchar_t* kind;
        const wchar_t* member;
        const wchar_t* result;
    } kResults[] = {
        {L"Application", L"Workbooks", L"Workbooks"}, {L"Workbooks", L"Add", L"Workbook"},
        {L"Workbook", L"Sheets", L"Sheets"},          {L"Sheets", L"Item", L"Worksheet"},
        {L"Worksheet", L"Range", L"Range"},           {L"Range", L"Resize", L"Range"},
        {L"Range", L"Font", L"Font"},
    };
    for (const auto& r : kResults)
        if (kind == r.kind && _wcsicmp(member.c_str(), r.member) == 0) return r.result;
    return member;
}

class AutomationProxy final : public ProxyRoot, public IDispatch, public ISupportErrorInfo {
public:
    static constexpr DISPID kUndefinedId = 0x7FFFFFF0;

    AutomationProxy(IDispatch* inner, std::wstring kind) : inner_(inner), kind_(std::move(kind)) {}
    FAULT_REFCOUNT

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch) return Hand(static_cast<IDispatch*>(this), out);
        if (iid == IID_ISupportErrorInfo) return Hand(static_cast<ISupportErrorInfo*>(this), out);
        return E_NOINTERFACE;
    }

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* names, UINT count, LCID l, DISPID* ids) override {
        std::wstring name = names && count ? names[0] : L"";
        if (Fails(Site(L"GetIDsOfNames", name))) {
            // Only an unknown name promises DISPID_UNKNOWN; after any other failure the ids
            // are undefined. This one leaves an id that no member has.
            for (UINT i = 0; ids && i < count; ++i) ids[i] = kUndefinedId;
            return kInjectedFailure;
        }
        HRESULT hr = inner_->GetIDsOfNames(r, names, count, l, ids);
        if (SUCCEEDED(hr) && count && ids) MemberNames()[{kind_, ids[0]}] = name;
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID r, LCID l, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* e,
                        UINT* a) override {
        auto known = MemberNames().find({kind_, id});
        std::wstring member = known != MemberNames().end() ? known->second : L"#" + std::to_wstring(id);
        if (Fails(Site(L"Invoke", member))) return kInjectedFailure;
        HRESULT hr = inner_->Invoke(id, r, l, flags, p, result, e, a);
        if (SUCCEEDED(hr) && (flags & DISPATCH_PROPERTYPUT)) FaultPlan::Get().Tally(kSpreadsheetWrites);
        if (SUCCEEDED(hr) && result && V_VT(result) == VT_DISPATCH && V_DISPATCH(result)) {
            IDispatch* object = V_DISPATCH(result);
            V_DISPATCH(result) = WrapAutomationObject(object, ResultKind(kind_, member));
            object->Release();
        }
        return hr;
    }

private:
    std::wstring Site(const wchar_t* call, const std::wstring& member) const {
        return L"Excel " + kind_ + L"::" + call + L"(" + member + L")";
    }

    winkit::ComPtr<IDispatch> inner_;
    std::wstring kind_;
};

} // namespace

LONG LiveProxies() { return live; }

IDispatch* WrapWorkspace(IWorkspace* inner, IDispatch* innerDispatch) {
    return static_cast<IDispatch*>(new WorkspaceProxy(inner, innerDispatch));
}
IServiceRequest* WrapServiceRequest(IServiceRequest* inner) { return new RequestProxy(inner, -1); }
IGlobals* WrapGlobals(IGlobals* inner) { return new GlobalsProxy(inner); }
ISettingsNode* WrapSettingsNode(ISettingsNode* inner) { return new SettingsNodeProxy(inner); }
IQREFOldClientServices* WrapAdapter(IQREFOldClientServices* inner) { return new AdapterProxy(inner); }
IDispatch* WrapSelection(IDispatch* inner) { return static_cast<IDispatch*>(new SelectionProxy(inner)); }
IDispatch* WrapAutomationObject(IDispatch* inner, const std::wstring& kind) {
    return static_cast<IDispatch*>(new AutomationProxy(inner, kind));
}

} // namespace fault
