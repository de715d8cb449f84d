#pragma once
// The connection to the older client services component. Its ProgID depends on the
// installed client tools, so the tools' Globals object names it.
#include "comidentifiers.h"
#include "winkit/com_ptr.h"

// Does nothing when `adapter` is already set. Otherwise creates QRClientTools::Globals,
// asks it for the version-specific ProgID of "QREFOldAdapter380.ClientServices" and
// creates that class in process. A failure returns its HRESULT with a QRError document
// as the thread's error information and leaves `adapter` empty.
HRESULT ConnectOldAdapter(winkit::ComPtr<IQREFOldClientServices>& adapter);
