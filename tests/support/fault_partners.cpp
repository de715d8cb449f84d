#include "support/fault_partners.h"

#include "clientservices.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "support/registry_helpers.h"

namespace fault {
namespace {

class RedirectingFactory final : public testcom::FakeComObject<IClassFactory> {
public:
    RedirectingFactory(std::wstring creationCall, Creator create)
        : creationCall_(std::move(creationCall)), create_(std::move(create)) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return FaultPlan::Get().Pass(creationCall_, {}, [&] { return create_(iid, out); }, [] {});
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    std::wstring creationCall_;
    Creator create_;
};

// The class object of a partner component DLL in the program's folder, loaded directly
// (not through the registry, which the redirections shadow). Null when it cannot be had.
winkit::ComPtr<IClassFactory> PartnerClassObject(const wchar_t* dllName, REFCLSID clsid) {
    // Kept loaded for the life of the process: objects of it may outlive any one test.
    HMODULE module = LoadLibraryW((ProgramFolder() + dllName).c_str());
    if (!module) return {};
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    winkit::ComPtr<IClassFactory> factory;
    if (!get || FAILED(get(clsid, IID_IClassFactory, factory.put_void()))) return {};
    return factory;
}

// Hands the caller the interface it asked of a new proxy, which is then the caller's.
template <class Proxy>
HRESULT HandOut(Proxy* proxy, REFIID iid, void** out) {
    HRESULT hr = proxy->QueryInterface(iid, out);
    proxy->Release();
    return hr;
}

// Creation that makes the partner's object through its own class object and hands out
// a proxy around it.
template <class Interface>
Creator ProxiedCreation(winkit::ComPtr<IClassFactory> factory, const IID& innerIid, Interface* (*wrap)(Interface*)) {
    return [factory, innerIid, wrap](REFIID iid, void** out) {
        if (!factory) return REGDB_E_CLASSNOTREG;
        winkit::ComPtr<Interface> inner;
        HRESULT hr = factory->CreateInstance(nullptr, innerIid, inner.put_void());
        return FAILED(hr) ? hr : HandOut(wrap(inner.get()), iid, out);
    };
}

} // namespace

void PartnerRedirects::Redirect(REFCLSID clsid, DWORD context, const wchar_t* creationCall, Creator create) {
    testcom::Fake<RedirectingFactory> factory(creationCall, std::move(create));
    registrations_.push_back(std::make_unique<testcom::ClassRegistration>(clsid, factory.get(), context));
    if (FAILED(registrations_.back()->result())) problem_ += std::wstring(L" cannot redirect ") + creationCall + L";";
}

void PartnerRedirects::SettingsStore() {
    winkit::ComPtr<IClassFactory> globals = PartnerClassObject(L"simclienttools.dll", CLSID_QRClientToolsGlobals);
    winkit::ComPtr<IClassFactory> nodes = PartnerClassObject(L"simclienttools.dll", CLSID_QRClientToolsSettingsNode);
    if (!globals || !nodes) problem_ += L" simclienttools.dll gives no class objects;";
    Redirect(CLSID_QRClientToolsGlobals, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRClientTools.Globals)",
             ProxiedCreation<IGlobals>(globals, IID_IGlobals, &WrapGlobals));
    Redirect(CLSID_QRClientToolsSettingsNode, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRClientTools.SettingsNode)",
             ProxiedCreation<ISettingsNode>(nodes, IID_ISettingsNode, &WrapSettingsNode));
}

void PartnerRedirects::Spreadsheet(REFCLSID clsid, ApplicationMaker make) {
    Redirect(clsid, CLSCTX_LOCAL_SERVER, L"CoCreateInstance(Excel.Application)", [make](REFIID iid, void** out) {
        winkit::ComPtr<IDispatch> inner;
        HRESULT hr = make(inner.put());
        return FAILED(hr) ? hr : HandOut(WrapAutomationObject(inner.get(), L"Application"), iid, out);
    });
}

FaultPartners::FaultPartners(ApplicationMaker spreadsheet, bool clientServicesHere) {
    SettingsStore();
    CLSID adapterClass = {};
    winkit::ComPtr<IClassFactory> adapter;
    if (SUCCEEDED(CLSIDFromProgID(kVersionedAdapterProgId, &adapterClass)))
        adapter = PartnerClassObject(L"simoldadapter.dll", adapterClass);
    winkit::ComPtr<IClassFactory> selection = PartnerClassObject(L"simselectkb.dll", CLSID_QRCSelectKBDlg);
    if (!adapter || !selection) problem_ += L" the adapter's ProgID, simoldadapter.dll or simselectkb.dll is missing;";
    Redirect(adapterClass, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QREFOldAdapter380.ClientServices)",
             ProxiedCreation<IQREFOldClientServices>(adapter, IID_IQREFOldClientServices, &WrapAdapter));
    Redirect(CLSID_QRCSelectKBDlg, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRCSelectKBDlg)",
             ProxiedCreation<IDispatch>(selection, IID_IDispatch, &WrapSelection));
    if (clientServicesHere) {
        Redirect(CLSID_QRCIGEFClientServices, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRCIGEFClientServices)",
                 [](REFIID iid, void** out) { return CClientServices::Create(nullptr, iid, out); });
    }
    if (!spreadsheet) return;
    CLSID spreadsheetClass = {};
    if (FAILED(CLSIDFromProgID(L"Excel.Application", &spreadsheetClass)))
        problem_ += L" Excel.Application is not registered;";
    else
        Spreadsheet(spreadsheetClass, std::move(spreadsheet));
}

} // namespace fault
