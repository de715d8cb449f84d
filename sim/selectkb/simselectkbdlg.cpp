#include "simselectkbdlg.h"

#include <string>
#include "simerror.h"
#include "winkit/bstr_text.h"

namespace sim {

const QITAB SimSelectKBDlg::kInterfaces[] = {
    SIM_QITABDUAL(SimSelectKBDlg, ISimSelectKBDlg),
    // Callers ask for the stream selection's dispatch interface, which ours stands in for.
    SIM_QITABENTMULTI(SimSelectKBDlg, __uuidof(DQRCSelectKBDlg), ISimSelectKBDlg),
    SIM_QITABENT(SimSelectKBDlg, ISupportErrorInfo),
    {},
};

HRESULT SimSelectKBDlg::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimSelectKBDlg>(outer, iid, out);
}

STDMETHODIMP SimSelectKBDlg::RunCommand(BSTR command, long, IDispatch*, long, short, VARIANT* result) {
    return Traced(L"SimSelectKBDlg::RunCommand", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(result);
        VariantInit(result);
        std::wstring name = winkit::BstrText(command);
        if (name != kClaimStreamCommand) Fail(E_INVALIDARG, L"The stream selection has no command '%ls'", name.c_str());
        ++claimStreamCount_;
    });
}

} // namespace sim
