#include "simglobals.h"

#include "winkit/bstr_text.h"

namespace sim {

SIM_DUAL_CLASS(SimGlobals, IGlobals)

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
    return TracedText(L"SimGlobals::GetSettingsRoot", root, [] { return kSettingsRoot; });
}

STDMETHODIMP SimGlobals::GetToolsVersion(BSTR* version) {
    return TracedText(L"SimGlobals::GetToolsVersion", version, [] { return L"3.8.0"; });
}

STDMETHODIMP SimGlobals::GetVersionSpecificIdentifier(BSTR identifier, BSTR* versioned) {
    return TracedText(L"SimGlobals::GetVersionSpecificIdentifier", versioned,
                      [&] { return VersionSpecificIdentifier(winkit::BstrView(identifier)); });
}

} // namespace sim
