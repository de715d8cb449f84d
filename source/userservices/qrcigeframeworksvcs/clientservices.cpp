// CClientServices: creation, the adapter connection, Initialize from the framework
// data, the framework and plant data, the XML file name, feature queries and the
// methods that only forward to the adapter. Claims are in clientservices_claims.cpp.
#include "clientservices.h"

#include <cstdlib>
#include "adapterconnection.h"
#include "diagnostics/traced.h"
#include "frameworkgateway.h"

const QITAB CClientServices::kInterfaces[] = {
    QITABENT(CClientServices, IQRCIGEFClientServices),
    QITABENTMULTI(CClientServices, IDispatch, IQRCIGEFClientServices),
    QITABENT(CClientServices, ISupportErrorInfo),
    {},
};

HRESULT CClientServices::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<CClientServices>(outer, iid, out);
}

STDMETHODIMP CClientServices::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == IID_IQRCIGEFClientServices ? S_OK : S_FALSE;
}

void CClientServices::RequireAdapter(QRComException& xhr) {
    HRESULT hr = ConnectOldAdapter(adapter_);
    if (FAILED(hr)) {
        xhr.SetResult(hr);  // takes the connection's document
        xhr.Rethrow();      // unnamed scope: passed on without an element of its own
    }
}

void CClientServices::RaiseCallFailure(QRComException& xhr, HRESULT hr) {
    winkit::ComPtr<IErrorInfo> left;
    if (GetErrorInfo(0, left.put()) == S_OK && left) {
        SetErrorInfo(0, left.get());  // put back for SetResult to take
        xhr.SetResult(hr);
        xhr.Rethrow();
    }
    // Nothing to carry: SetResult would make the code's text a second element.
    xhr.Throw(QR_HERE, hr);
}

namespace {

void CheckOut(QRComException& xhr, const void* out, const wchar_t* method) {
    xhr.CheckPointer(out, L"Invalid pointer passed to method %ls", method);
}

} // namespace

STDMETHODIMP CClientServices::Initialize(IDispatch* pWorkspace) {
    return WithAdapter([&](QRComException& xhr) {
        workspace_.reset();
        if (pWorkspace) pWorkspace->QueryInterface(IID_IWorkspace, workspace_.put_void());
        xhr.Enter(L"QRCIGEFrameworkClientServices::Initialize", 1);
        SetErrorInfo(0, nullptr);  // only what this method's calls leave may be carried
        if (!workspace_) xhr.Throw(QR_HERE, E_INVALIDARG, L"The object given to Initialize is not a workspace");

        winkit::UniqueBstr document;
        HRESULT hr = FrameworkTextCall(workspace_.get(), L"GetEFData", {}, document);
        if (FAILED(hr)) RaiseCallFailure(xhr, hr);

        data_.restore.reset();
        data_.plant.reset();
        data_.area.reset();
        data_.unit.reset();
        HRESULT pending = document.empty() ? S_OK : LoadFrameworkData(xhr, document.get());
        PassDataToAdapter(pWorkspace);
        if (pending == S_FALSE) xhr.SetResult(S_FALSE);
    });
}

HRESULT CClientServices::LoadFrameworkData(QRComException& xhr, BSTR text) {
    winkit::ComPtr<IXMLDOMDocument2> document;
    HRESULT hr = CreateFrameworkDataDocument(document);
    if (FAILED(hr)) xhr.Throw(QR_HERE, hr);
    hr = ReadFrameworkData(document.get(), text, data_);
    // A failed load is reported, but the adapter still hears the previous values.
    if (FAILED(hr)) xhr.SetError(QR_HERE, hr);
    return hr;
}

void CClientServices::PassDataToAdapter(IDispatch* workspace) {
    adapter_->SetRestore(data_.restore.get());
    adapter_->SetPlantData(data_.plant.get(), data_.area.get(), data_.unit.get());
    adapter_->SetFrameworkData(data_.signature.get(), data_.url.get(), data_.frameworkPlant.get(), data_.userId.get(),
                               data_.name.get());
    adapter_->SetProductName(winkit::UniqueBstr::Copy(kProductName).get());
    adapter_->Initialize(workspace);
}

STDMETHODIMP CClientServices::get_ConnectionStatus(long* pVal) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        CheckOut(xhr, pVal, L"ConnectionStatus");
        *pVal = 0;
        RequireAdapter(xhr);
        *pVal = connectionStatus_;
    });
}

// The type library gives these parameters no direction: nothing is written before all
// three pointers are known good and all three copies made.
HRESULT CClientServices::HandOut(const wchar_t* method, const std::array<BSTR*, 3>& outs,
                                 const std::array<const winkit::UniqueBstr*, 3>& values) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        for (BSTR* out : outs) CheckOut(xhr, out, method);
        RequireAdapter(xhr);
        winkit::UniqueBstr copies[3];
        for (size_t i = 0; i < 3; ++i) copies[i] = winkit::UniqueBstr::Copy(values[i]->view());
        for (size_t i = 0; i < 3; ++i) *outs[i] = copies[i].release();
    });
}

// Whole copies (NULs inside kept), all made before any field changes.
void CClientServices::Store(const std::array<winkit::UniqueBstr*, 3>& fields, const std::array<BSTR, 3>& values) {
    winkit::UniqueBstr copies[3];
    for (size_t i = 0; i < 3; ++i) copies[i] = winkit::UniqueBstr::CopyBstr(values[i]);
    for (size_t i = 0; i < 3; ++i) *fields[i] = std::move(copies[i]);
}

STDMETHODIMP CClientServices::GetEFData(BSTR* Signature, BSTR* Url, BSTR* Plant) {
    return HandOut(L"GetEFData", {Signature, Url, Plant}, {&data_.signature, &data_.url, &data_.frameworkPlant});
}

STDMETHODIMP CClientServices::SetEFData(BSTR Signature, BSTR Url, BSTR Plant) {
    return WithAdapter([&](QRComException&) {
        Store({&data_.signature, &data_.url, &data_.frameworkPlant}, {Signature, Url, Plant});
    });
}

STDMETHODIMP CClientServices::GetPlantData(BSTR* Plant, BSTR* Area, BSTR* Unit) {
    return HandOut(L"GetPlantData", {Plant, Area, Unit}, {&data_.plant, &data_.area, &data_.unit});
}

STDMETHODIMP CClientServices::SetPlantData(BSTR Plant, BSTR Area, BSTR Unit) {
    return WithAdapter([&](QRComException&) {
        Store({&data_.plant, &data_.area, &data_.unit}, {Plant, Area, Unit});
        adapter_->SetPlantData(Plant, Area, Unit);
    });
}

STDMETHODIMP CClientServices::get_XMLFileName(BSTR* pVal) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        CheckOut(xhr, pVal, L"XMLFileName");
        *pVal = nullptr;
        RequireAdapter(xhr);
        // The stored name is handed over once; the adapter's name wins when it gives one.
        winkit::UniqueBstr handed = std::move(xmlFileName_);
        winkit::UniqueBstr fromAdapter;
        adapter_->get_XMLFileName(fromAdapter.put());
        *pVal = fromAdapter.get() ? fromAdapter.release() : handed.release();
    });
}

STDMETHODIMP CClientServices::put_XMLFileName(BSTR name) {
    return WithAdapter([&](QRComException&) {
        xmlFileName_ = winkit::UniqueBstr::CopyBstr(name);
        adapter_->put_XMLFileName(name);
    });
}

STDMETHODIMP CClientServices::SupportsFeature(BSTR Feature, VARIANT_BOOL* Supported) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        CheckOut(xhr, Supported, L"SupportsFeature");
        *Supported = VARIANT_FALSE;
        RequireAdapter(xhr);
        double version = data_.version.get() ? _wtof(data_.version.get()) : 0.0;
        // Claims and revisions came with framework version 3.65; only the first
        // character names the feature.
        wchar_t first = Feature ? Feature[0] : L'\0';
        if ((first == L'C' || first == L'R') && version >= 3.65) *Supported = VARIANT_TRUE;
    });
}

STDMETHODIMP CClientServices::UnInitialize() {
    return Traced(nullptr, 0, [&](QRComException&) {
        if (adapter_) adapter_->UnInitialize();
    });
}

STDMETHODIMP CClientServices::GetProjectList(SAFEARRAY** Projects) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        CheckOut(xhr, Projects, L"GetProjectList");
        *Projects = nullptr;
        RequireAdapter(xhr);
        adapter_->GetProjectList(Projects);
    });
}

// The methods below only forward; the adapter's result is not looked at.

STDMETHODIMP CClientServices::ConnectToEF() {
    return WithAdapter([&](QRComException&) { adapter_->ConnectToEF(); });
}

STDMETHODIMP CClientServices::Publish(BSTR sOID) {
    return WithAdapter([&](QRComException&) { adapter_->Publish(sOID); });
}

STDMETHODIMP CClientServices::Retrieve() {
    return WithAdapter([&](QRComException&) { adapter_->Retrieve(); });
}

STDMETHODIMP CClientServices::FindDocsToPublish() {
    return WithAdapter([&](QRComException&) { adapter_->FindDocsToPublish(); });
}

STDMETHODIMP CClientServices::LaunchFrameworkBrowser() {
    return WithAdapter([&](QRComException&) { adapter_->LaunchFrameworkBrowser(); });
}

STDMETHODIMP CClientServices::Register(IDispatch* pWorkspace) {
    return WithAdapter([&](QRComException&) { adapter_->Register(pWorkspace); });
}

STDMETHODIMP CClientServices::PublishProjectAsBuilt(BSTR sProjectName) {
    return WithAdapter([&](QRComException&) { adapter_->PublishProjectAsBuilt(sProjectName); });
}

STDMETHODIMP CClientServices::Revise(BSTR sOID) {
    return WithAdapter([&](QRComException&) { adapter_->Revise(sOID); });
}
