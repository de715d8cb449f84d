#include "support/fault_proxies.h"

#include <algorithm>
#include <cwctype>
#include "support/call_text.h"
#include "support/proxy_base.h"
#include "winkit/com_ptr.h"

namespace fault {
namespace {

// Numbered settings entries are one site whatever their number.
std::wstring EntryLabel(BSTR name) {
    std::wstring text = BstrText(name);
    bool numbered = !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return std::iswdigit(c); });
    return numbered ? L"<n>" : text;
}

// A method of an interface proxied whole: logged as Call(name), forwarded to inner_,
// the out-parameters (if any) emptied when it is the armed one.
#define FAULT_PASS(Name, params, args, ...) \
    STDMETHODIMP Name params override { return Pass(Call(L"" #Name), {}, [&] { return inner_->Name args; }, ##__VA_ARGS__); }
// A method passed through one of the proxy's own helpers, which names the site.
#define FAULT_VIA(helper, Name, params, args) \
    STDMETHODIMP Name params override { return helper(L"" #Name, [&] { return inner_->Name args; }); }

class RequestProxy final : public Proxy<IServiceRequest> {
public:
    // `creationEvent`: the plan's event of the CreateServiceRequest that made it.
    RequestProxy(IServiceRequest* inner, int creationEvent) : inner_(inner), unnamed_{creationEvent} {}

    FAULT_VIA(Early, SetComponent, (BSTR progId), (progId))
    STDMETHODIMP SetMethod(BSTR method) override {
        // Later calls belong to the method the library meant, whether or not it took;
        // so do the calls made before the first method was known.
        method_ = BstrText(method);
        for (int event : unnamed_) FaultPlan::Get().Relabel(event, L" [" + method_ + L"]");
        unnamed_.clear();
        return Pass(Call(L"SetMethod"), {}, [&] { return inner_->SetMethod(method); });
    }
    FAULT_PASS(SetInput, (BSTR text), (text))
    FAULT_PASS(GetOutput, (BSTR* text), (text), text)
    FAULT_VIA(Early, SetFlags, (LONG flags), (flags))
    STDMETHODIMP Execute(LONG reserved) override {
        // A record missing a field may name another task (a default index) to a framework
        // that does not insist on every field: it must not be executed.
        if (recordBroken_) FaultPlan::Get().Flag(L"executed " + Call(L"Execute") + L" after its record could not be built");
        return Pass(Call(L"Execute"), {}, [&] { return inner_->Execute(reserved); });
    }
    FAULT_VIA(Record, BeginInput, (), ())
    FAULT_VIA(Record, BeginElement, (BSTR name), (name))
    FAULT_VIA(Record, AddField, (BSTR name, VARIANT value), (name, value))
    FAULT_VIA(Record, EndElement, (BSTR name), (name))

private:
    // The framework method names the site once it is known; SetFlags and SetComponent
    // come before it.
    std::wstring Call(const wchar_t* member) const {
        return std::wstring(L"IServiceRequest::") + member + (method_.empty() ? L"" : L" [" + method_ + L"]");
    }
    // A call that may come before the method: named once the method is set.
    template <class Forward>
    HRESULT Early(const wchar_t* member, Forward forward) {
        if (method_.empty()) unnamed_.push_back(FaultPlan::Get().LastEvent() + 1);
        return Pass(Call(member), {}, forward);
    }
    // A call building the input record.
    template <class Forward>
    HRESULT Record(const wchar_t* member, Forward forward) {
        bool forwarded = false;
        HRESULT hr = Pass(Call(member), {}, [&] {
            forwarded = true;
            return forward();
        });
        recordBroken_ |= !forwarded;
        return hr;
    }

    winkit::ComPtr<IServiceRequest> inner_;
    std::wstring method_;
    std::vector<int> unnamed_;  // plan events waiting for the method's name
    bool recordBroken_ = false;
};

class WorkspaceProxy final : public Proxy<IWorkspace, IDispatch> {
public:
    WorkspaceProxy(IWorkspace* inner, IDispatch* dispatch) : inner_(inner), dispatch_(dispatch) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out || (iid != IID_IWorkspace && iid != IID_IDispatch)) return Proxy::QueryInterface(iid, out);
        std::wstring call =
            std::wstring(L"IWorkspace::QueryInterface(") + (iid == IID_IWorkspace ? L"IWorkspace)" : L"IDispatch)");
        return Pass(call, {}, [&] { return Proxy::QueryInterface(iid, out); }, out);
    }

    FAULT_PASS(GetUserName, (BSTR* name), (name), name)
    FAULT_PASS(GetWorkspacePath, (BSTR* path), (path), path)
    FAULT_PASS(GetWorkspaceName, (BSTR* name), (name), name)
    STDMETHODIMP CreateServiceRequest(IServiceRequest** request) override {
        if (!request) return inner_->CreateServiceRequest(request);
        int creation = FaultPlan::Get().LastEvent() + 1;
        return Pass(L"IWorkspace::CreateServiceRequest", {}, [&] {
            winkit::ComPtr<IServiceRequest> made;
            HRESULT hr = inner_->CreateServiceRequest(made.put());
            *request = made ? new RequestProxy(made.get(), creation) : nullptr;
            return hr;
        }, request);
    }

    FAULT_FORWARD_DISPATCH(dispatch_)

private:
    static std::wstring Call(const wchar_t* member) { return std::wstring(L"IWorkspace::") + member; }

    winkit::ComPtr<IWorkspace> inner_;
    winkit::ComPtr<IDispatch> dispatch_;
};

class GlobalsProxy final : public Proxy<IGlobals> {
public:
    explicit GlobalsProxy(IGlobals* inner) : inner_(inner) {}
    FAULT_FORWARD_DISPATCH(inner_)

    STDMETHODIMP GetSettingsRoot(BSTR* root) override {
        return Pass(L"IGlobals::GetSettingsRoot", L"GetSettingsRoot", [&] { return inner_->GetSettingsRoot(root); }, root);
    }
    // Never called by the library: forwarded unlogged, as are ISettingsNode's GetName and DeleteChild.
    STDMETHODIMP GetToolsVersion(BSTR* version) override { return inner_->GetToolsVersion(version); }
    STDMETHODIMP GetVersionSpecificIdentifier(BSTR identifier, BSTR* versioned) override {
        return Pass(L"IGlobals::GetVersionSpecificIdentifier", L"GetVersionSpecificIdentifier " + BstrText(identifier),
                    [&] { return inner_->GetVersionSpecificIdentifier(identifier, versioned); }, versioned);
    }

private:
    winkit::ComPtr<IGlobals> inner_;
};

// A truth value answered as the plan says (FaultPlan::SetVariantAnswers).
HRESULT AnsweredAsPlanned(HRESULT hr, VARIANT* value) {
    VARTYPE type = FaultPlan::Get().VariantAnswers();
    if (SUCCEEDED(hr) && value && type != VT_EMPTY) VariantChangeType(value, value, 0, type);
    return hr;
}

// Logs each call with the node's path ("GetValue QRClientTools/ToDoListSettings/Options ShowOpen").
class SettingsNodeProxy final : public Proxy<ISettingsNode> {
public:
    SettingsNodeProxy(ISettingsNode* inner, std::wstring path) : inner_(inner), path_(std::move(path)) {}
    FAULT_FORWARD_DISPATCH(inner_)

    STDMETHODIMP GetValue(BSTR name, VARIANT* found, BSTR* text) override {
        return Pass(L"ISettingsNode::GetValue(" + EntryLabel(name) + L")", L"GetValue " + path_ + L" " + BstrText(name),
                    [&] { return AnsweredAsPlanned(inner_->GetValue(name, found, text), found); }, found, text);
    }
    STDMETHODIMP GetName(BSTR* name) override { return inner_->GetName(name); }
    STDMETHODIMP DeleteChild(BSTR name) override { return inner_->DeleteChild(name); }
    STDMETHODIMP SetValue(BSTR name, VARIANT* written, BSTR text) override {
        return Pass(L"ISettingsNode::SetValue(" + EntryLabel(name) + L")",
                    L"SetValue " + path_ + L" " + BstrText(name) + L"=" + BstrText(text),
                    [&] { return AnsweredAsPlanned(inner_->SetValue(name, written, text), written); }, written);
    }
    STDMETHODIMP OpenChild(BSTR name, ISettingsNode** child) override {
        if (!child) return inner_->OpenChild(name, child);
        std::wstring path = Below(name);
        return Pass(L"ISettingsNode::OpenChild(" + EntryLabel(name) + L")", L"OpenChild " + path, [&] {
            winkit::ComPtr<ISettingsNode> opened;
            HRESULT hr = inner_->OpenChild(name, opened.put());
            *child = opened ? new SettingsNodeProxy(opened.get(), path) : nullptr;
            return hr;
        }, child);
    }
    STDMETHODIMP EndEntries() override {
        return Pass(L"ISettingsNode::EndEntries", L"EndEntries " + path_, [&] { return inner_->EndEntries(); });
    }
    STDMETHODIMP BeginEntries() override {
        return Pass(L"ISettingsNode::BeginEntries", L"BeginEntries " + path_, [&] { return inner_->BeginEntries(); });
    }

private:
    std::wstring Below(BSTR name) const { return path_.empty() ? BstrText(name) : path_ + L"/" + BstrText(name); }

    winkit::ComPtr<ISettingsNode> inner_;
    std::wstring path_;  // names from the store's top, joined by "/"
};

class AdapterProxy final : public Proxy<IQREFOldClientServices> {
public:
    explicit AdapterProxy(IQREFOldClientServices* inner) : inner_(inner) {}
    FAULT_FORWARD_DISPATCH(inner_)

    FAULT_PASS(UnInitialize, (), ())
    FAULT_PASS(SetRestore, (BSTR restore), (restore))
    FAULT_PASS(get_XMLFileName, (BSTR* name), (name), name)
    FAULT_PASS(put_XMLFileName, (BSTR name), (name))
    FAULT_PASS(get_AdapterVersion, (BSTR* version), (version), version)
    FAULT_PASS(SetProductName, (BSTR name), (name))
    FAULT_PASS(SetFrameworkData, (BSTR signature, BSTR url, BSTR plant, BSTR user, BSTR name),
               (signature, url, plant, user, name))
    FAULT_PASS(SetPlantData, (BSTR plant, BSTR area, BSTR unit), (plant, area, unit))
    FAULT_PASS(Initialize, (IDispatch* workspace), (workspace))
    FAULT_PASS(ConnectToEF, (), ())
    FAULT_PASS(Publish, (BSTR oid), (oid))
    FAULT_PASS(Retrieve, (), ())
    FAULT_PASS(FindDocsToPublish, (), ())
    FAULT_PASS(LaunchFrameworkBrowser, (), ())
    FAULT_PASS(Register, (IDispatch* workspace), (workspace))
    FAULT_PASS(GetProjectList, (SAFEARRAY** projects), (projects), projects)
    FAULT_PASS(PublishProjectAsBuilt, (BSTR name), (name))
    FAULT_PASS(SynchronizeClaims, (BSTR claims, BSTR* message), (claims, message), message)
    FAULT_PASS(Revise, (BSTR oid), (oid))

private:
    static std::wstring Call(const wchar_t* member) { return std::wstring(L"IQREFOldClientServices::") + member; }

    winkit::ComPtr<IQREFOldClientServices> inner_;
};

// The stream selection component: late-bound, with DQRCSelectKBDlg and IRunnableObject.
class SelectionProxy final : public Proxy<IDispatch, IRunnableObject> {
public:
    explicit SelectionProxy(IDispatch* inner) : inner_(inner) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out || iid != DIID_DQRCSelectKBDlg) return Proxy::QueryInterface(iid, out);
        return Pass(L"QRCSelectKBDlg::QueryInterface(DQRCSelectKBDlg)", {}, [&] {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }, out);
    }

    FAULT_FORWARD_TYPE_INFO(inner_)
    STDMETHODIMP Invoke(DISPID id, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override {
        std::wstring member = id == DISPID_QRCSELECTKBDLG_RUNCOMMAND ? L"RunCommand" : L"#" + std::to_wstring(id);
        std::wstring call = L"DQRCSelectKBDlg::Invoke(" + member + L")";
        bool forwarded = false;
        HRESULT hr = Pass(call, {}, [&] {
            forwarded = true;
            return inner_->Invoke(id, r, l, f, p, v, e, a);
        });
        return forwarded ? hr : Answer(hr, call, e);
    }

    // OleRun asks for this and calls Run.
    STDMETHODIMP GetRunningClass(LPCLSID clsid) override {
        if (!clsid) return E_INVALIDARG;
        *clsid = CLSID_QRCSelectKBDlg;
        return S_OK;
    }
    STDMETHODIMP Run(LPBINDCTX) override { return Pass(L"IRunnableObject::Run", {}, [] { return S_OK; }); }
    STDMETHODIMP_(BOOL) IsRunning() override { return TRUE; }
    STDMETHODIMP LockRunning(BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

private:
    // A late-bound component reports its failure in the exception information when the
    // caller gives a place for it.
    static HRESULT Answer(HRESULT answer, const std::wstring& call, EXCEPINFO* e) {
        if (SUCCEEDED(answer) || !e) return answer;
        *e = EXCEPINFO{};
        e->bstrSource = SysAllocString(call.c_str());
        e->bstrDescription = SysAllocString(FaultPlan::InjectedDescription(call).c_str());
        e->scode = answer;
        return DISP_E_EXCEPTION;
    }

    winkit::ComPtr<IDispatch> inner_;
};

} // namespace

LONG& LiveProxyCount() {
    static LONG live = 0;
    return live;
}

LONG LiveProxies() { return LiveProxyCount(); }

IDispatch* WrapWorkspace(IWorkspace* inner, IDispatch* innerDispatch) {
    return static_cast<IDispatch*>(new WorkspaceProxy(inner, innerDispatch));
}
IGlobals* WrapGlobals(IGlobals* inner) { return new GlobalsProxy(inner); }
ISettingsNode* WrapSettingsNode(ISettingsNode* inner) { return new SettingsNodeProxy(inner, L""); }
IQREFOldClientServices* WrapAdapter(IQREFOldClientServices* inner) { return new AdapterProxy(inner); }
IDispatch* WrapSelection(IDispatch* inner) { return static_cast<IDispatch*>(new SelectionProxy(inner)); }

} // namespace fault
