#pragma once
// Pass-through mocks of the outside components: each forwards every call to the real
// (simulated) component, after logging it in the fault plan (fault_plan.h), which may
// have armed it to answer in the component's place: the call then does not reach the
// component and returns the armed answer (kInjectedFailure unless told otherwise) with
// its out-parameters emptied and the plan's error information on the thread.
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
