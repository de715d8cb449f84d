#pragma once
// The outside components the library activates (the client tools' Globals and
// SettingsNode, the adapter's versioned class, the stream selection, the spreadsheet
// application) redirected for this process, while the object lives, to the pass-through
// proxies (fault_proxies.h) over the simulated components loaded from the program's
// folder. The spreadsheet application is made by the caller in this process: starting
// the simulated server costs about a second under Wine, and runs go by the hundred.
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "support/fake_com.h"
#include "winkit/com_ptr.h"

namespace fault {

inline constexpr const wchar_t* kVersionedAdapterProgId = L"QREFOldAdapter380.ClientServices.1";

// Makes the object a redirected class hands out.
using Creator = std::function<HRESULT(REFIID iid, void** out)>;
// Makes a new spreadsheet application; the caller receives its one reference.
using ApplicationMaker = std::function<HRESULT(IDispatch** application)>;

// Each CreateInstance goes through the plan as "CoCreateInstance(<class>)".
class PartnerRedirects {
public:
    PartnerRedirects() = default;
    PartnerRedirects(const PartnerRedirects&) = delete;
    PartnerRedirects& operator=(const PartnerRedirects&) = delete;

    // Globals and SettingsNode.
    void SettingsStore();
    void Adapter();
    void Selection();
    // The library's own class served from this program, unproxied, so that its objects
    // count in this program's module lock.
    void ClientServices();
    // `clsid`: the class "Excel.Application" names.
    void Spreadsheet(REFCLSID clsid, ApplicationMaker make);

    // Empty when every redirection is in place; otherwise what is missing.
    const std::wstring& problem() const { return problem_; }

protected:
    std::wstring problem_;

private:
    void Redirect(REFCLSID clsid, DWORD context, const wchar_t* creationCall, Creator create);

    std::vector<std::unique_ptr<testcom::ClassRegistration>> registrations_;
};

// Every partner. Without `clientServicesHere`, the library's client services class is
// made by the registered library, as for a To Do list made by it; without `spreadsheet`,
// the spreadsheet application is not redirected.
class FaultPartners : public PartnerRedirects {
public:
    explicit FaultPartners(ApplicationMaker spreadsheet = {}, bool clientServicesHere = true);
};

} // namespace fault
