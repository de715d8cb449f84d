#pragma once
// The outside components the library activates redirected, while the object lives, to the
// pass-through proxies (fault_proxies.h) over the simulated components in the program's
// folder. The spreadsheet application is made by the caller in this process: starting the
// simulated server costs about a second under Wine, and runs go by the hundred.
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
    // Globals and SettingsNode.
    void SettingsStore();
    // `clsid`: the class "Excel.Application" names.
    void Spreadsheet(REFCLSID clsid, ApplicationMaker make);

    // Empty when every redirection is in place; otherwise what is missing.
    const std::wstring& problem() const { return problem_; }

protected:
    void Redirect(REFCLSID clsid, DWORD context, const wchar_t* creationCall, Creator create);

    std::wstring problem_;

private:
    std::vector<std::unique_ptr<testcom::ClassRegistration>> registrations_;
};

// Every partner. With `clientServicesHere`, the library's own client services class is
// served from this program, unproxied, so that its objects count in this program's
// module lock; without, the registered library makes them, as for a To Do list made by
// it. Without `spreadsheet`, the spreadsheet application is not redirected.
class FaultPartners : public PartnerRedirects {
public:
    explicit FaultPartners(ApplicationMaker spreadsheet = {}, bool clientServicesHere = true);
};

} // namespace fault
