// CClientServices: claiming objects and streams, and synchronizing claims.
#include <string>
#include "clientservices.h"
#include "diagnostics/traced.h"
#include "frameworkgateway.h"
#include "streamselection.h"
#include "winkit/bstr_text.h"

STDMETHODIMP CClientServices::ClaimObject(BSTR strOID) {
    return WithAdapter([&](QRComException& xhr) {
        xhr.Enter(L"QRCIGEFClientServices::ClaimObject", 1);
        SetErrorInfo(0, nullptr);  // only what this method's calls leave may be carried
        if (!workspace_) xhr.Throw(QR_HERE, E_FAIL, L"ClientServices interface not initialized");

        winkit::UniqueBstr claims;
        HRESULT hr = FrameworkTextCall(workspace_.get(), L"SynchronizeObjectClaim",
                                       winkit::BstrView(strOID), claims);
        if (FAILED(hr)) RaiseCallFailure(xhr, hr);
        if (!claims.empty()) {
            // The adapter's own message text is not used: its error information is.
            winkit::UniqueBstr message;
            hr = adapter_->SynchronizeClaims(claims.get(), message.put());
            if (FAILED(hr)) RaiseCallFailure(xhr, hr);
            xhr.SetResult(hr);  // a success code of the adapter is the method's too
        }
    });
}

STDMETHODIMP CClientServices::ClaimStream(IDispatch* pWorkspace, VARIANT saOID) {
    return WithAdapter([&](QRComException& xhr) {
        SetErrorInfo(0, nullptr);  // only what this method's calls leave may be carried
        StreamSelection selection;
        HRESULT hr = selection.Connect();
        if (FAILED(hr)) xhr.Throw(QR_HERE, hr, L"Unable to connect to QRCGenericSvcs::QRCSelectKBDlg");

        for (LONG id : StreamObjectIdentifiers(saOID)) {
            selection.ClaimStream(id, pWorkspace);
            // A failed claim of one stream does not stop the others.
            ClaimObject(winkit::UniqueBstr::Copy(std::to_wstring(id)).get());
        }
    });
}

STDMETHODIMP CClientServices::SynchronizeClaims(BSTR ClaimsXML, BSTR* pErrorMessage) {
    return Traced(nullptr, 0, [&](QRComException& xhr) {
        xhr.CheckPointer(pErrorMessage, L"Invalid pointer passed to method %ls", L"SynchronizeClaims");
        *pErrorMessage = nullptr;
        RequireAdapter(xhr);
        SetErrorInfo(0, nullptr);  // the caller gets what the adapter leaves, or nothing
        // The adapter's result and error information are the caller's.
        xhr.SetResult(adapter_->SynchronizeClaims(ClaimsXML, pErrorMessage));
    });
}
