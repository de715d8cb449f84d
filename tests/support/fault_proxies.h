#pragma once
// Pass-through proxies of the outside components: each call is logged in the fault plan
// and forwarded, unless the plan armed it. Proxies are counted, so that a test sees the
// library let go of every outside object it was given.
#include <string>
#include "comidentifiers.h"

namespace fault {

LONG LiveProxies();

// Each returns a new proxy with one reference for the caller. The workspace as a host
// hands it to Initialize: its IDispatch (forwarded to `innerDispatch`) answers IWorkspace.
IDispatch* WrapWorkspace(IWorkspace* inner, IDispatch* innerDispatch);
IGlobals* WrapGlobals(IGlobals* inner);
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
