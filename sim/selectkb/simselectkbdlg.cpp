#include "simselectkbdlg.h"

#include <string>
#include "simerror.h"

namespace sim {

const QITAB SimSelectKBDlg::kInterfaces[] = {
    SIM_QITABENT(SimSelectKBDlg, ISimSelectKBDlg),
    SIM_QITABENTMULTI(SimSelectKBDlg, __uuidof(DQRCSelectKBDlg), ISimSelectKBDlg),
    SIM_QITABENTMULTI(SimSelectKBDlg, IID_IDispatch, ISimSelectKBDlg),
    SIM_QITABENT(SimSelectKBDlg, ISupportErrorInfo),
    {},
};

HRESULT SimSelectKBDlg::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimSelectKBDlg>(outer, iid, out);
}

STDMETHODIMP SimSelectKBDlg::RunCommand(BSTR command, long, IDispatch*, long, short, VARIANT* result) {
    QRComException xhr;
    xhr.Enter(L"SimSelectKBDlg::RunCommand", 1);
    try {
        xhr.CheckPointer(result);
        VariantInit(result);
        std::wstring name(command ? command : L"", SysStringLen(command));
        if (name != kClaimStreamCommand)
            Fail(E_INVALIDARG, L"The stream selection has no command '%ls'", name.c_str());
        ++claimStreamCount_;
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

} // namespace sim
