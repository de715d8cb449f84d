#pragma once
// The simulated stream selection component "QRCGenericSvcs::QRCSelectKBDlg". It runs
// unattended: RunCommand("ClaimStream", ...) shows nothing and returns an empty VARIANT.
// QueryInterface answers the dispatch interface the callers ask for
// ({38000106-A35F-4D89-960A-B075AD91A15F}) with the IDispatch of ISimSelectKBDlg, whose
// RunCommand has the same DISPID (1) and arguments.
#include "hostinterfaces.h"
#include "simcom.h"
#include "simselectkblib.h"
#include "winkit/com_object.h"
#include "winkit/dispatch_impl.h"

namespace sim {

inline constexpr const wchar_t* kClaimStreamCommand = L"ClaimStream";

class SimSelectKBDlg final : public winkit::ComObjectRoot,
                             public winkit::DispatchImpl<ISimSelectKBDlg>,
                             public SupportErrorInfoImpl<ISimSelectKBDlg, DQRCSelectKBDlg> {
    static const QITAB kInterfaces[];

public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    STDMETHODIMP RunCommand(BSTR command, long objectId, IDispatch* workspace, long value, short flags,
                            VARIANT* result) override;

    // How many ClaimStream commands this object ran (tests look at it).
    long ClaimStreamCount() const { return claimStreamCount_; }

private:
    long claimStreamCount_ = 0;
};

} // namespace sim
