#include "support/fault_partners.h"

#include "clientservices.h"
#include "support/fault_proxies.h"

namespace fault {
namespace {

// Hands the caller the interface it asked of a new proxy, which is then the caller's.
template <class Proxy>
HRESULT HandOut(Proxy* proxy, REFIID iid, void** out) {
    HRESULT hr = proxy->QueryInterface(iid, out);
    proxy->Release();
    return hr;
}

// A partner's object made through its own class object, for the interface given.
template <class Interface>
HRESULT MakeInner(IClassFactory* factory, REFIID iid, winkit::ComPtr<Interface>& inner) {
    if (!factory) return REGDB_E_CLASSNOTREG;
    return factory->CreateInstance(nullptr, iid, inner.put_void());
}

// Creation that makes the partner's object through its own class object and hands out
// a failing proxy around it.
template <class Interface>
ClassOverride::Creator ProxiedCreation(winkit::ComPtr<IClassFactory> factory, const IID& innerIid,
                                       Interface* (*wrap)(Interface*)) {
    return [factory, innerIid, wrap](REFIID iid, void** out) {
        winkit::ComPtr<Interface> inner;
        HRESULT hr = MakeInner(factory.get(), innerIid, inner);
        return FAILED(hr) ? hr : HandOut(wrap(inner.get()), iid, out);
    };
}

} // namespace

void FaultPartners::Redirect(REFCLSID clsid, DWORD context, const wchar_t* creationCall, ClassOverride::Creator create) {
    auto redirected = std::make_unique<ClassOverride>(clsid, context, creationCall, std::move(create));
    if (FAILED(redirected->registration())) problem_ += std::wstring(L" cannot redirect ") + creationCall + L";";
    overrides_.push_back(std::move(redirected));
}

FaultPartners::FaultPartners(ApplicationMaker spreadsheet, bool clientServicesHere) {
    winkit::ComPtr<IClassFactory> globals = PartnerClassObject(L"simclienttools.dll", CLSID_QRClientToolsGlobals);
    winkit::ComPtr<IClassFactory> nodes = PartnerClassObject(L"simclienttools.dll", CLSID_QRClientToolsSettingsNode);
    winkit::ComPtr<IClassFactory> selection = PartnerClassObject(L"simselectkb.dll", CLSID_QRCSelectKBDlg);
    CLSID adapterClass = {};
    winkit::ComPtr<IClassFactory> adapter;
    if (SUCCEEDED(CLSIDFromProgID(kVersionedAdapterProgId, &adapterClass)))
        adapter = PartnerClassObject(L"simoldadapter.dll", adapterClass);
    if (!globals || !nodes) problem_ += L" simclienttools.dll gives no class objects;";
    if (!selection) problem_ += L" simselectkb.dll gives no class object;";
    if (!adapter) problem_ += L" the adapter's ProgID or simoldadapter.dll is missing;";

    Redirect(CLSID_QRClientToolsGlobals, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRClientTools.Globals)",
             ProxiedCreation<IGlobals>(globals, IID_IGlobals, &WrapGlobals));
    Redirect(CLSID_QRClientToolsSettingsNode, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRClientTools.SettingsNode)",
             ProxiedCreation<ISettingsNode>(nodes, IID_ISettingsNode, &WrapSettingsNode));
    Redirect(adapterClass, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QREFOldAdapter380.ClientServices)",
             ProxiedCreation<IQREFOldClientServices>(adapter, IID_IQREFOldClientServices, &WrapAdapter));
    Redirect(CLSID_QRCSelectKBDlg, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRCSelectKBDlg)",
             ProxiedCreation<IDispatch>(selection, IID_IDispatch, &WrapSelection));
    // The library's own class, so that its objects count in this program's module lock
    // and its calls to the adapter and the tools go through the proxies above.
    if (clientServicesHere)
        Redirect(CLSID_QRCIGEFClientServices, CLSCTX_INPROC_SERVER, L"CoCreateInstance(QRCIGEFClientServices)",
                 [](REFIID iid, void** out) { return CClientServices::Create(nullptr, iid, out); });

    if (!spreadsheet) return;
    CLSID spreadsheetClass = {};
    if (FAILED(CLSIDFromProgID(L"Excel.Application", &spreadsheetClass))) {
        problem_ += L" Excel.Application is not registered;";
        return;
    }
    Redirect(spreadsheetClass, CLSCTX_LOCAL_SERVER, L"CoCreateInstance(Excel.Application)",
             [spreadsheet](REFIID iid, void** out) {
                 winkit::ComPtr<IDispatch> inner;
                 HRESULT hr = spreadsheet(inner.put());
                 return FAILED(hr) ? hr : HandOut(WrapAutomationObject(inner.get(), L"Application"), iid, out);
             });
}

FaultPartners::~FaultPartners() { overrides_.clear(); }

} // namespace fault
