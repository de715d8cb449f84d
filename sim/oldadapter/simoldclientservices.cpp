#include "simoldclientservices.h"

#include <algorithm>
#include "claimpolicy.h"
#include "claimsdocument.h"
#include "simerror.h"
#include "winkit/bstr_text.h"
#include "winkit/unique_safearray.h"
#include "winkit/unique_variant.h"

namespace sim {

SIM_DUAL_CLASS(SimOldClientServices, IQREFOldClientServices)

const std::vector<std::wstring>& SimulatedProjects() {
    static const std::vector<std::wstring> kProjects = {
        L"As-Built", L"Unit 0101 Feed Pump Revamp", L"Unit 0101 Cooling Water Tie-ins",
    };
    return kProjects;
}

namespace {

// The identifier of an object, refused when empty.
std::wstring ObjectId(BSTR oid, const wchar_t* method) {
    if (SysStringLen(oid) == 0) Fail(E_INVALIDARG, L"%ls needs the identifier of an object", method);
    return winkit::BstrText(oid);
}

winkit::UniqueSafeArray ProjectList() {
    const std::vector<std::wstring>& names = SimulatedProjects();
    winkit::UniqueSafeArray list(SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(names.size())));
    if (!list) Fail(E_OUTOFMEMORY, L"Out of memory");
    for (LONG i = 0; i < static_cast<LONG>(names.size()); ++i) {
        winkit::UniqueVariant name = winkit::UniqueVariant::String(names[static_cast<size_t>(i)]);
        HRESULT hr = SafeArrayPutElement(list.get(), &i, name.get());  // copies the element
        if (FAILED(hr)) Fail(hr, L"Unable to fill the project list");
    }
    return list;
}

} // namespace

STDMETHODIMP SimOldClientServices::UnInitialize() {
    return Traced(L"SimOldClientServices::UnInitialize", 1, [&](QRComException&) {
        state_.initialized = false;
        state_.connected = false;
        state_.workspace.reset();
    });
}

STDMETHODIMP SimOldClientServices::SetRestore(BSTR restore) {
    return Traced(L"SimOldClientServices::SetRestore", 1, [&](QRComException&) {
        state_.restore = winkit::BstrText(restore);
        state_.restoreGiven = restore != nullptr;
    });
}

STDMETHODIMP SimOldClientServices::get_XMLFileName(BSTR* fileName) {
    return Traced(L"SimOldClientServices::get_XMLFileName", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(fileName);
        if (!state_.xmlFileName.empty()) *fileName = winkit::UniqueBstr::Copy(state_.xmlFileName).release();
    });
}

STDMETHODIMP SimOldClientServices::put_XMLFileName(BSTR fileName) {
    return Traced(L"SimOldClientServices::put_XMLFileName", 1, [&](QRComException&) {
        state_.xmlFileName = winkit::BstrText(fileName);
    });
}

STDMETHODIMP SimOldClientServices::get_AdapterVersion(BSTR* version) {
    return TracedText(L"SimOldClientServices::get_AdapterVersion", version, [] { return L"3.8.0"; });
}

STDMETHODIMP SimOldClientServices::SetProductName(BSTR productName) {
    return Traced(L"SimOldClientServices::SetProductName", 1, [&](QRComException&) {
        state_.productName = winkit::BstrText(productName);
    });
}

STDMETHODIMP SimOldClientServices::SetFrameworkData(BSTR signature, BSTR url, BSTR frameworkPlant, BSTR userId,
                                                    BSTR frameworkName) {
    return Traced(L"SimOldClientServices::SetFrameworkData", 1, [&](QRComException&) {
        state_.signature = winkit::BstrText(signature);
        state_.url = winkit::BstrText(url);
        state_.frameworkPlant = winkit::BstrText(frameworkPlant);
        state_.userId = winkit::BstrText(userId);
        state_.frameworkName = winkit::BstrText(frameworkName);
    });
}

STDMETHODIMP SimOldClientServices::SetPlantData(BSTR plant, BSTR area, BSTR unit) {
    return Traced(L"SimOldClientServices::SetPlantData", 1, [&](QRComException&) {
        state_.plant = winkit::BstrText(plant);
        state_.area = winkit::BstrText(area);
        state_.unit = winkit::BstrText(unit);
    });
}

STDMETHODIMP SimOldClientServices::Initialize(IDispatch* workspace) {
    return Traced(L"SimOldClientServices::Initialize", 1, [&](QRComException&) {
        state_.workspace = winkit::ComPtr<IDispatch>(workspace);
        state_.initialized = true;
    });
}

STDMETHODIMP SimOldClientServices::ConnectToEF() {
    return Traced(L"SimOldClientServices::ConnectToEF", 1, [&](QRComException&) {
        if (state_.url.empty()) Fail(E_UNEXPECTED, L"No framework URL was given; SetFrameworkData comes first");
        state_.connected = true;
    });
}

STDMETHODIMP SimOldClientServices::Publish(BSTR oid) {
    return Traced(L"SimOldClientServices::Publish", 1, [&](QRComException&) {
        state_.published.push_back(ObjectId(oid, L"Publish"));
    });
}

// Nothing to fetch: the simulated framework keeps no documents.
STDMETHODIMP SimOldClientServices::Retrieve() {
    return Traced(L"SimOldClientServices::Retrieve", 1, [](QRComException&) {});
}

// Run unattended: no list of documents is shown.
STDMETHODIMP SimOldClientServices::FindDocsToPublish() {
    return Traced(L"SimOldClientServices::FindDocsToPublish", 1, [](QRComException&) {});
}

// Run unattended: no browser is started.
STDMETHODIMP SimOldClientServices::LaunchFrameworkBrowser() {
    return Traced(L"SimOldClientServices::LaunchFrameworkBrowser", 1, [](QRComException&) {});
}

STDMETHODIMP SimOldClientServices::Register(IDispatch* workspace) {
    return Traced(L"SimOldClientServices::Register", 1, [&](QRComException&) {
        state_.registeredWorkspace = winkit::ComPtr<IDispatch>(workspace);
    });
}

STDMETHODIMP SimOldClientServices::GetProjectList(SAFEARRAY** projects) {
    return Traced(L"SimOldClientServices::GetProjectList", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(projects);
        *projects = nullptr;
        *projects = ProjectList().release();
    });
}

STDMETHODIMP SimOldClientServices::PublishProjectAsBuilt(BSTR projectName) {
    return Traced(L"SimOldClientServices::PublishProjectAsBuilt", 1, [&](QRComException&) {
        std::wstring name = winkit::BstrText(projectName);
        const std::vector<std::wstring>& known = SimulatedProjects();
        if (std::find(known.begin(), known.end(), name) == known.end())
            Fail(E_INVALIDARG, L"There is no project '%ls'", name.c_str());
        state_.projectsPublished.push_back(name);
    });
}

STDMETHODIMP SimOldClientServices::SynchronizeClaims(BSTR claimsXml, BSTR* errorMessage) {
    return TracedText(L"SimOldClientServices::SynchronizeClaims", errorMessage, [&] {
        std::vector<Claim> claims = ParseClaims(winkit::BstrView(claimsXml));
        for (const Claim& claim : claims)
            if (ClaimGranted(claim, state_.userId)) state_.claimed.push_back(claim.oid);
        return RefusedClaimsMessage(claims, state_.userId);
    });
}

STDMETHODIMP SimOldClientServices::Revise(BSTR oid) {
    return Traced(L"SimOldClientServices::Revise", 1, [&](QRComException&) {
        state_.revised.push_back(ObjectId(oid, L"Revise"));
    });
}

} // namespace sim
