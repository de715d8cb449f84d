#pragma once
// The host's stream selection component "QRCGenericSvcs::QRCSelectKBDlg", reached
// late-bound, and the object identifiers a stream claim is given.
#include <vector>
#include "comidentifiers.h"
#include "winkit/com_ptr.h"

// The identifiers to claim, in order, without zeros. An array (also by reference) must
// be one-dimensional with VT_I2, VT_I4 or VT_VARIANT elements, otherwise nothing is
// taken; elements that cannot be read or converted to VT_I4 are skipped. Any other
// value is converted to VT_I4 as a whole, and gives nothing when that fails.
std::vector<LONG> StreamObjectIdentifiers(const VARIANT& identifiers);

class StreamSelection {
public:
    // Creates the component for IUnknown in any server context, runs it (OleRun) and
    // asks it for its dispatch interface. Returns the first failure.
    HRESULT Connect();

    // RunCommand("ClaimStream", objectId, workspace, 0, 0), its DISPID looked up by name
    // once. The returned VARIANT is discarded. A failure is thrown as _com_error with the
    // component's error information (from EXCEPINFO, or from the thread when the
    // component supports it).
    void ClaimStream(LONG objectId, IDispatch* workspace);

private:
    winkit::ComPtr<IDispatch> dispatch_;
    DISPID runCommand_ = DISPID_UNKNOWN;
};
