#pragma once
// QRClientTools "Globals": names the settings root and the version-specific identifiers.
#include <string>
#include <string_view>
#include "hostinterfaces.h"
#include "simclienttoolslib.h"
#include "simcom.h"
#include "winkit/com_object.h"
#include "winkit/dispatch_impl.h"

namespace sim {

inline constexpr const wchar_t* kSettingsRoot = L"QRClientTools";

// The registered identifier behind `identifier`: the versioned ProgID of a component
// that this installation knows, the identifier itself for any other.
std::wstring VersionSpecificIdentifier(std::wstring_view identifier);

class SimGlobals final : public winkit::ComObjectRoot,
                         public winkit::DispatchImpl<IGlobals>,
                         public SupportErrorInfoImpl<IGlobals> {
    static const QITAB kInterfaces[];

public:
    WINKIT_IUNKNOWN_IMPL(kInterfaces)
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    STDMETHODIMP GetSettingsRoot(BSTR* root) override;
    STDMETHODIMP GetToolsVersion(BSTR* version) override;
    STDMETHODIMP GetVersionSpecificIdentifier(BSTR identifier, BSTR* versioned) override;
};

} // namespace sim
