#include "simglobals.h"

#include "diagnostics/qrcomexception.h"
#include "winkit/unique_bstr.h"

namespace sim {

const QITAB SimGlobals::kInterfaces[] = {
    SIM_QITABENT(SimGlobals, IGlobals),
    SIM_QITABENTMULTI(SimGlobals, IID_IDispatch, IGlobals),
    SIM_QITABENT(SimGlobals, ISupportErrorInfo),
    {},
};

HRESULT SimGlobals::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimGlobals>(outer, iid, out);
}

std::wstring VersionSpecificIdentifier(std::wstring_view identifier) {
    static const struct { const wchar_t* identifier; const wchar_t* versioned; } kKnown[] = {
        {L"QREFOldAdapter380.ClientServices", L"QREFOldAdapter380.ClientServices.1"},
    };
    for (const auto& known : kKnown) {
        // ProgIDs are compared as the registry compares key names: without regard to case.
        if (CompareStringOrdinal(identifier.data(), static_cast<int>(identifier.size()), known.identifier, -1, TRUE) == CSTR_EQUAL)
            return known.versioned;
    }
    return std::wstring(identifier);
}

STDMETHODIMP SimGlobals::GetSettingsRoot(BSTR* root) {
    QRComException xhr;
    xhr.Enter(L"SimGlobals::GetSettingsRoot", 1);
    try {
        xhr.CheckPointer(root);
        *root = nullptr;
        *root = winkit::UniqueBstr::Copy(kSettingsRoot).release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimGlobals::GetToolsVersion(BSTR* version) {
    QRComException xhr;
    xhr.Enter(L"SimGlobals::GetToolsVersion", 1);
    try {
        xhr.CheckPointer(version);
        *version = nullptr;
        *version = winkit::UniqueBstr::Copy(L"3.8.0").release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimGlobals::GetVersionSpecificIdentifier(BSTR identifier, BSTR* versioned) {
    QRComException xhr;
    xhr.Enter(L"SimGlobals::GetVersionSpecificIdentifier", 1);
    try {
        xhr.CheckPointer(versioned);
        *versioned = nullptr;
        std::wstring_view given(identifier ? identifier : L"", SysStringLen(identifier));
        *versioned = winkit::UniqueBstr::Copy(VersionSpecificIdentifier(given)).release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

} // namespace sim
