#pragma once
// Every outside component the library activates, redirected for this process to
// fault-injecting proxies over the simulated components (sim/), while the object lives:
//
//   CoCreateInstance(QRClientTools.Globals)             simclienttools.dll, IGlobals
//   CoCreateInstance(QRClientTools.SettingsNode)        simclienttools.dll, ISettingsNode
//   CoCreateInstance(QREFOldAdapter380.ClientServices)  simoldadapter.dll (the class of its
//                                                       version-specific ProgID)
//   CoCreateInstance(QRCSelectKBDlg)                    simselectkb.dll
//   CoCreateInstance(QRCIGEFClientServices)             the library's own class, served from
//                                                       this program's code, unproxied (or
//                                                       left to the registered library)
//   CoCreateInstance(Excel.Application)                 the class "Excel.Application" names,
//                                                       registered as a local server as the
//                                                       library asks for it, making each
//                                                       application with the caller's maker
//
// The partner DLLs are loaded from the program's folder. The spreadsheet is optional and
// made by the caller: the simulated server makes one application per process, and
// starting a process costs about a second under Wine, so runs by the hundred use the
// server's objects in this process.
#include <memory>
#include <string>
#include <vector>
#include <functional>
#include "support/fault_classes.h"
#include "winkit/com_ptr.h"

namespace fault {

inline constexpr const wchar_t* kVersionedAdapterProgId = L"QREFOldAdapter380.ClientServices.1";

// Makes a new spreadsheet application; the caller receives its one reference.
using ApplicationMaker = std::function<HRESULT(IDispatch** application)>;

class FaultPartners {
public:
    // Without `clientServicesHere`, the library's client services class is made by the
    // registered library, as for a To Do list made by it.
    explicit FaultPartners(ApplicationMaker spreadsheet = {}, bool clientServicesHere = true);
    ~FaultPartners();
    FaultPartners(const FaultPartners&) = delete;
    FaultPartners& operator=(const FaultPartners&) = delete;

    // Empty when every redirection is in place; otherwise what is missing.
    const std::wstring& problem() const { return problem_; }

private:
    void Redirect(REFCLSID clsid, DWORD context, const wchar_t* creationCall, ClassOverride::Creator create);

    std::wstring problem_;
    std::vector<std::unique_ptr<ClassOverride>> overrides_;
};

} // namespace fault
