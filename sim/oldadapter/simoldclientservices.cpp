#include "simoldclientservices.h"

#include <algorithm>
#include "claimpolicy.h"
#include "claimsdocument.h"
#include "simerror.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_safearray.h"
#include "winkit/unique_variant.h"

namespace sim {

const QITAB SimOldClientServices::kInterfaces[] = {
    SIM_QITABENT(SimOldClientServices, IQREFOldClientServices),
    SIM_QITABENTMULTI(SimOldClientServices, IID_IDispatch, IQREFOldClientServices),
    SIM_QITABENT(SimOldClientServices, ISupportErrorInfo),
    {},
};

HRESULT SimOldClientServices::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimOldClientServices>(outer, iid, out);
}

const std::vector<std::wstring>& SimulatedProjects() {
    static const std::vector<std::wstring> kProjects = {
        L"As-Built", L"Unit 0101 Feed Pump Revamp", L"Unit 0101 Cooling Water Tie-ins",
    };
    return kProjects;
}

namespace {

std::wstring Text(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

} // namespace

STDMETHODIMP SimOldClientServices::UnInitialize() {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::UnInitialize", 1);
    try {
        state_.initialized = false;
        state_.connected = false;
        state_.workspace.reset();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::SetRestore(BSTR restore) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::SetRestore", 1);
    try {
        state_.restore = Text(restore);
        state_.restoreGiven = restore != nullptr;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::get_XMLFileName(BSTR* fileName) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::get_XMLFileName", 1);
    try {
        xhr.CheckPointer(fileName);
        if (!state_.xmlFileName.empty()) *fileName = winkit::UniqueBstr::Copy(state_.xmlFileName).release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::put_XMLFileName(BSTR fileName) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::put_XMLFileName", 1);
    try {
        state_.xmlFileName = Text(fileName);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::get_AdapterVersion(BSTR* version) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::get_AdapterVersion", 1);
    try {
        xhr.CheckPointer(version);
        *version = nullptr;
        *version = winkit::UniqueBstr::Copy(L"3.8.0").release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::SetProductName(BSTR productName) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::SetProductName", 1);
    try {
        state_.productName = Text(productName);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::SetFrameworkData(BSTR signature, BSTR url, BSTR frameworkPlant, BSTR userId,
                                                    BSTR frameworkName) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::SetFrameworkData", 1);
    try {
        state_.signature = Text(signature);
        state_.url = Text(url);
        state_.frameworkPlant = Text(frameworkPlant);
        state_.userId = Text(userId);
        state_.frameworkName = Text(frameworkName);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::SetPlantData(BSTR plant, BSTR area, BSTR unit) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::SetPlantData", 1);
    try {
        state_.plant = Text(plant);
        state_.area = Text(area);
        state_.unit = Text(unit);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::Initialize(IDispatch* workspace) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::Initialize", 1);
    try {
        state_.workspace = winkit::ComPtr<IDispatch>(workspace);
        state_.initialized = true;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::ConnectToEF() {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::ConnectToEF", 1);
    try {
        if (state_.url.empty()) Fail(E_UNEXPECTED, L"No framework URL was given; SetFrameworkData comes first");
        state_.connected = true;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::Publish(BSTR oid) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::Publish", 1);
    try {
        if (SysStringLen(oid) == 0) Fail(E_INVALIDARG, L"Publish needs the identifier of an object");
        state_.published.push_back(Text(oid));
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::Retrieve() {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::Retrieve", 1);
    try {
        // Nothing to fetch: the simulated framework keeps no documents.
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::FindDocsToPublish() {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::FindDocsToPublish", 1);
    try {
        // Run unattended: no list of documents is shown.
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::LaunchFrameworkBrowser() {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::LaunchFrameworkBrowser", 1);
    try {
        // Run unattended: no browser is started.
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::Register(IDispatch* workspace) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::Register", 1);
    try {
        state_.registeredWorkspace = winkit::ComPtr<IDispatch>(workspace);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::GetProjectList(SAFEARRAY** projects) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::GetProjectList", 1);
    try {
        xhr.CheckPointer(projects);
        *projects = nullptr;
        const std::vector<std::wstring>& names = SimulatedProjects();
        winkit::UniqueSafeArray list(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(names.size())));
        if (!list) Fail(E_OUTOFMEMORY, L"Out of memory");
        for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
            winkit::UniqueVariant name = winkit::UniqueVariant::String(names[static_cast<size_t>(i)]);
            HRESULT hr = SafeArrayPutElement(list.get(), &i, name.get());  // copies the element
            if (FAILED(hr)) Fail(hr, L"Unable to fill the project list");
        }
        *projects = list.release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::PublishProjectAsBuilt(BSTR projectName) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::PublishProjectAsBuilt", 1);
    try {
        std::wstring name = Text(projectName);
        const std::vector<std::wstring>& known = SimulatedProjects();
        if (std::find(known.begin(), known.end(), name) == known.end())
            Fail(E_INVALIDARG, L"There is no project '%ls'", name.c_str());
        state_.projectsPublished.push_back(name);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::SynchronizeClaims(BSTR claimsXml, BSTR* errorMessage) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::SynchronizeClaims", 1);
    try {
        xhr.CheckPointer(errorMessage);
        *errorMessage = nullptr;
        std::vector<Claim> claims = ParseClaims(Text(claimsXml));
        std::wstring refused = RefusedClaimsMessage(claims, state_.userId);
        for (const Claim& claim : claims)
            if (ClaimGranted(claim, state_.userId)) state_.claimed.push_back(claim.oid);
        *errorMessage = winkit::UniqueBstr::Copy(refused).release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimOldClientServices::Revise(BSTR oid) {
    QRComException xhr;
    xhr.Enter(L"SimOldClientServices::Revise", 1);
    try {
        if (SysStringLen(oid) == 0) Fail(E_INVALIDARG, L"Revise needs the identifier of an object");
        state_.revised.push_back(Text(oid));
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

} // namespace sim
