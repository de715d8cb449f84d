#pragma once
// The generated interface declarations of the library and of the components it calls,
// and the identifiers that MinGW's headers lack.
#include <windows.h>
#include <ole2.h>
#include "hostinterfaces.h"
#include "qrcigeframeworksvcs.h"

// Progids and classes of the partner components.
inline constexpr const wchar_t* kFrameworkComponentProgId = L"QRDBEFrameworkSvcs.Main";
inline constexpr const wchar_t* kOldAdapterProgId = L"QREFOldAdapter380.ClientServices";

EXTERN_C const CLSID CLSID_QRClientToolsGlobals;        // {38000203-66B0-497D-8F84-D7113FBDFDA6}
EXTERN_C const CLSID CLSID_QRClientToolsSettingsNode;   // {38000201-66B0-497D-8F84-D7113FBDFDA6}
EXTERN_C const CLSID CLSID_QRCSelectKBDlg;              // {38000206-A35F-4D89-960A-B075AD91A15F}
