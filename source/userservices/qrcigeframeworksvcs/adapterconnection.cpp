#include "adapterconnection.h"

#include "diagnostics/traced.h"
#include "winkit/unique_bstr.h"

HRESULT ConnectOldAdapter(winkit::ComPtr<IQREFOldClientServices>& adapter) {
    if (adapter) return S_OK;
    return TracedOperation(L"QRCIGEFClientServices::ConnectAdapter", 0, [&](QRComException& xhr) {
        // Whatever an earlier call left on the thread must not end up in this document.
        SetErrorInfo(0, nullptr);

        winkit::ComPtr<IGlobals> globals;
        HRESULT hr = CoCreateInstance(CLSID_QRClientToolsGlobals, nullptr, CLSCTX_ALL, IID_IGlobals, globals.put_void());
        if (FAILED(hr)) xhr.Throw(QR_HERE, hr, L"Unable to connect to QRClientTools::Globals");

        winkit::UniqueBstr progId;
        hr = globals->GetVersionSpecificIdentifier(winkit::UniqueBstr::Copy(kOldAdapterProgId).get(), progId.put());
        if (FAILED(hr))
            xhr.Throw(QR_HERE, hr, L"Unable to find version specific identifier for QREFOldAdapter380.ClientServices");

        CLSID adapterClass = {};
        hr = CLSIDFromProgID(progId.c_str(), &adapterClass);
        if (FAILED(hr)) xhr.Throw(QR_HERE, hr, L"QREFOldAdapter380.ClientServices is not registered");

        winkit::ComPtr<IQREFOldClientServices> made;
        hr = CoCreateInstance(adapterClass, nullptr, CLSCTX_INPROC_SERVER, IID_IQREFOldClientServices, made.put_void());
        if (FAILED(hr)) xhr.Throw(QR_HERE, hr);
        adapter = std::move(made);
        // The tools component is released here: only the adapter stays.
    });
}
