#pragma once
// The simulated older client services adapter "QREFOldAdapter380.ClientServices". It
// keeps what it is given, answers the forwarded calls without showing anything, and
// decides claims: an object locked by another user is refused.
//
// get_XMLFileName gives the kept name when there is one and otherwise leaves the
// caller's result as it was (the client services object hands its own name over first).
#include <string>
#include <vector>
#include "hostinterfaces.h"
#include "simcom.h"
#include "simoldadapterlib.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"
#include "winkit/dispatch_impl.h"

namespace sim {

// What the adapter was given and what it did, in the order of its operations.
struct AdapterState {
    bool initialized = false;
    bool connected = false;
    std::wstring restore;
    bool restoreGiven = false;  // SetRestore was called with a text (not null)
    std::wstring xmlFileName;
    std::wstring productName;
    std::wstring signature, url, frameworkPlant, userId, frameworkName;
    std::wstring plant, area, unit;
    winkit::ComPtr<IDispatch> workspace;
    winkit::ComPtr<IDispatch> registeredWorkspace;
    std::vector<std::wstring> published, revised, claimed;
    std::vector<std::wstring> projectsPublished;
};

class SimOldClientServices final : public winkit::ComObjectRoot,
                                   public winkit::DispatchImpl<IQREFOldClientServices>,
                                   public SupportErrorInfoImpl<IQREFOldClientServices> {
    static const QITAB kInterfaces[];

public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    STDMETHODIMP UnInitialize() override;
    STDMETHODIMP SetRestore(BSTR restore) override;
    STDMETHODIMP get_XMLFileName(BSTR* fileName) override;
    STDMETHODIMP put_XMLFileName(BSTR fileName) override;
    STDMETHODIMP get_AdapterVersion(BSTR* version) override;
    STDMETHODIMP SetProductName(BSTR productName) override;
    STDMETHODIMP SetFrameworkData(BSTR signature, BSTR url, BSTR frameworkPlant, BSTR userId, BSTR frameworkName) override;
    STDMETHODIMP SetPlantData(BSTR plant, BSTR area, BSTR unit) override;
    STDMETHODIMP Initialize(IDispatch* workspace) override;
    STDMETHODIMP ConnectToEF() override;
    STDMETHODIMP Publish(BSTR oid) override;
    STDMETHODIMP Retrieve() override;
    STDMETHODIMP FindDocsToPublish() override;
    STDMETHODIMP LaunchFrameworkBrowser() override;
    STDMETHODIMP Register(IDispatch* workspace) override;
    STDMETHODIMP GetProjectList(SAFEARRAY** projects) override;
    STDMETHODIMP PublishProjectAsBuilt(BSTR projectName) override;
    STDMETHODIMP SynchronizeClaims(BSTR claimsXml, BSTR* errorMessage) override;
    STDMETHODIMP Revise(BSTR oid) override;

private:
    AdapterState state_;
};

// The projects GetProjectList names.
const std::vector<std::wstring>& SimulatedProjects();

} // namespace sim
