// CClientServices: creation, the adapter connection, Initialize from the framework
// data, the framework and plant data, the XML file name, feature queries and the
// methods that only forward to the adapter. Claims are in clientservices_claims.cpp.
#include "clientservices.h"

#include <cstdlib>
#include "adapterconnection.h"
#include "diagnostics/qrcomexception.h"
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
    IErrorInfo* left = nullptr;
    if (GetErrorInfo(0, &left) == S_OK && left) {
        SetErrorInfo(0, left);  // put back for SetResult to take
        left->Release();
        xhr.SetResult(hr);
        xhr.Rethrow();
    }
    // Nothing to carry: SetResult would make the code's text a second element.
    xhr.Throw(QR_HERE, hr);
}

STDMETHODIMP CClientServices::Initialize(IDispatch* pWorkspace) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
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
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
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
    QRComException xhr;
    try {
        xhr.CheckPointer(pVal, L"Invalid pointer passed to method %ls", L"ConnectionStatus");
        *pVal = 0;
        RequireAdapter(xhr);
        *pVal = connectionStatus_;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::GetEFData(BSTR* Signature, BSTR* Url, BSTR* Plant) {
    QRComException xhr;
    try {
        // The type library gives these no direction: nothing is written before all are known good.
        xhr.CheckPointer(Signature, L"Invalid pointer passed to method %ls", L"GetEFData");
        xhr.CheckPointer(Url, L"Invalid pointer passed to method %ls", L"GetEFData");
        xhr.CheckPointer(Plant, L"Invalid pointer passed to method %ls", L"GetEFData");
        RequireAdapter(xhr);
        winkit::UniqueBstr signature = winkit::UniqueBstr::Copy(data_.signature.view());
        winkit::UniqueBstr url = winkit::UniqueBstr::Copy(data_.url.view());
        winkit::UniqueBstr plant = winkit::UniqueBstr::Copy(data_.frameworkPlant.view());
        *Signature = signature.release();
        *Url = url.release();
        *Plant = plant.release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::SetEFData(BSTR Signature, BSTR Url, BSTR Plant) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        winkit::UniqueBstr signature = winkit::UniqueBstr::CopyBstr(Signature);
        winkit::UniqueBstr url = winkit::UniqueBstr::CopyBstr(Url);
        winkit::UniqueBstr plant = winkit::UniqueBstr::CopyBstr(Plant);
        data_.signature = std::move(signature);
        data_.url = std::move(url);
        data_.frameworkPlant = std::move(plant);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::GetPlantData(BSTR* Plant, BSTR* Area, BSTR* Unit) {
    QRComException xhr;
    try {
        xhr.CheckPointer(Plant, L"Invalid pointer passed to method %ls", L"GetPlantData");
        xhr.CheckPointer(Area, L"Invalid pointer passed to method %ls", L"GetPlantData");
        xhr.CheckPointer(Unit, L"Invalid pointer passed to method %ls", L"GetPlantData");
        RequireAdapter(xhr);
        winkit::UniqueBstr plant = winkit::UniqueBstr::Copy(data_.plant.view());
        winkit::UniqueBstr area = winkit::UniqueBstr::Copy(data_.area.view());
        winkit::UniqueBstr unit = winkit::UniqueBstr::Copy(data_.unit.view());
        *Plant = plant.release();
        *Area = area.release();
        *Unit = unit.release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::SetPlantData(BSTR Plant, BSTR Area, BSTR Unit) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        winkit::UniqueBstr plant = winkit::UniqueBstr::CopyBstr(Plant);
        winkit::UniqueBstr area = winkit::UniqueBstr::CopyBstr(Area);
        winkit::UniqueBstr unit = winkit::UniqueBstr::CopyBstr(Unit);
        data_.plant = std::move(plant);
        data_.area = std::move(area);
        data_.unit = std::move(unit);
        adapter_->SetPlantData(Plant, Area, Unit);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::get_XMLFileName(BSTR* pVal) {
    QRComException xhr;
    try {
        xhr.CheckPointer(pVal, L"Invalid pointer passed to method %ls", L"XMLFileName");
        *pVal = nullptr;
        RequireAdapter(xhr);
        // The stored name is handed over once; the adapter's name wins when it gives one.
        winkit::UniqueBstr handed = std::move(xmlFileName_);
        winkit::UniqueBstr fromAdapter;
        adapter_->get_XMLFileName(fromAdapter.put());
        *pVal = fromAdapter.get() ? fromAdapter.release() : handed.release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::put_XMLFileName(BSTR name) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        xmlFileName_ = winkit::UniqueBstr::CopyBstr(name);
        adapter_->put_XMLFileName(name);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::SupportsFeature(BSTR Feature, VARIANT_BOOL* Supported) {
    QRComException xhr;
    try {
        xhr.CheckPointer(Supported, L"Invalid pointer passed to method %ls", L"SupportsFeature");
        *Supported = VARIANT_FALSE;
        RequireAdapter(xhr);
        double version = data_.version.get() ? _wtof(data_.version.get()) : 0.0;
        // Claims and revisions came with framework version 3.65; only the first
        // character names the feature.
        wchar_t first = Feature ? Feature[0] : L'\0';
        if ((first == L'C' || first == L'R') && version >= 3.65) *Supported = VARIANT_TRUE;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::UnInitialize() {
    QRComException xhr;
    try {
        if (adapter_) adapter_->UnInitialize();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

// The methods below only forward; the adapter's result is not looked at.

STDMETHODIMP CClientServices::ConnectToEF() {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->ConnectToEF();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::Publish(BSTR sOID) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->Publish(sOID);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::Retrieve() {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->Retrieve();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::FindDocsToPublish() {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->FindDocsToPublish();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::LaunchFrameworkBrowser() {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->LaunchFrameworkBrowser();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::Register(IDispatch* pWorkspace) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->Register(pWorkspace);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::GetProjectList(SAFEARRAY** Projects) {
    QRComException xhr;
    try {
        xhr.CheckPointer(Projects, L"Invalid pointer passed to method %ls", L"GetProjectList");
        *Projects = nullptr;
        RequireAdapter(xhr);
        adapter_->GetProjectList(Projects);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::PublishProjectAsBuilt(BSTR sProjectName) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->PublishProjectAsBuilt(sProjectName);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP CClientServices::Revise(BSTR sOID) {
    QRComException xhr;
    try {
        RequireAdapter(xhr);
        adapter_->Revise(sOID);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}
