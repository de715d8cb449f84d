#pragma once
// Stand-ins for the outside components that forward every call to the real (simulated)
// component, after asking the fault plan (fault_plan.h) whether this call fails. A
// failing call does not reach the component: it returns kInjectedFailure with its
// out-parameters emptied and the plan's error information on the thread.
//
// Objects a proxy hands out (service requests, settings nodes, spreadsheet objects) are
// proxied too. Proxies are counted, so that a test can see the library let go of every
// outside object it was given.
#include <string>
#include "comidentifiers.h"

namespace fault {

// Proxies alive now, of every kind.
LONG LiveProxies();

// Each returns a new proxy with one reference for the caller.

// The host's workspace as a host hands it to Initialize: its IDispatch (forwarded to
// `innerDispatch`), which answers IWorkspace. CreateServiceRequest hands out proxied
// requests.
IDispatch* WrapWorkspace(IWorkspace* inner, IDispatch* innerDispatch);
IServiceRequest* WrapServiceRequest(IServiceRequest* inner);
IGlobals* WrapGlobals(IGlobals* inner);
// OpenChild hands out proxied nodes.
ISettingsNode* WrapSettingsNode(ISettingsNode* inner);
IQREFOldClientServices* WrapAdapter(IQREFOldClientServices* inner);
// The stream selection component: IDispatch, DQRCSelectKBDlg and IRunnableObject (so
// that OleRun calls Run).
IDispatch* WrapSelection(IDispatch* inner);
// One object of the spreadsheet application ("Application", "Workbooks", "Workbook",
// "Sheets", "Worksheet", "Range", "Font"); every object it returns is wrapped with the
// kind that member gives.
IDispatch* WrapAutomationObject(IDispatch* inner, const std::wstring& kind);

} // namespace fault
