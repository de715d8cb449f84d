#include "clienttoolssettings.h"

#include "winkit/com_error.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

bool VariantAsBool(const VARIANT& value) {
    if (V_VT(&value) == VT_BOOL) return V_BOOL(&value) != VARIANT_FALSE;
    winkit::UniqueVariant converted;
    if (FAILED(::VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_BOOL))) return false;
    return V_BOOL(converted.get()) != VARIANT_FALSE;
}

ClientToolsSettingsNode ClientToolsSettingsNode::OpenRoot() {
    winkit::ComPtr<IGlobals> globals;
    winkit::CheckComResult(::CoCreateInstance(CLSID_QRClientToolsGlobals, nullptr, CLSCTX_ALL, IID_IGlobals,
                                              globals.put_void()),
                           nullptr, IID_IGlobals);
    if (!globals) winkit::ThrowComError(E_POINTER, nullptr, IID_IGlobals);
    winkit::UniqueBstr root;
    winkit::CheckComResult(globals->GetSettingsRoot(root.put()), globals.get(), IID_IGlobals);

    winkit::ComPtr<ISettingsNode> node;
    winkit::CheckComResult(::CoCreateInstance(CLSID_QRClientToolsSettingsNode, nullptr, CLSCTX_ALL,
                                              IID_ISettingsNode, node.put_void()),
                           nullptr, IID_ISettingsNode);
    if (!node) winkit::ThrowComError(E_POINTER, nullptr, IID_ISettingsNode);
    return ClientToolsSettingsNode(std::move(node)).OpenChild(root.str());
}

void ClientToolsSettingsNode::Check(HRESULT hr) const {
    winkit::CheckComResult(hr, node_.get(), IID_ISettingsNode);
}

ClientToolsSettingsNode ClientToolsSettingsNode::OpenChild(const std::wstring& name) const {
    winkit::ComPtr<ISettingsNode> child;
    Check(node_->OpenChild(winkit::UniqueBstr::Copy(name).get(), child.put()));
    // A store that answers success without a node cannot be used further.
    if (!child) winkit::ThrowComError(E_POINTER, nullptr, IID_ISettingsNode);
    return ClientToolsSettingsNode(std::move(child));
}

bool ClientToolsSettingsNode::GetValue(const wchar_t* name, std::wstring& text) const {
    winkit::UniqueVariant found;
    winkit::UniqueBstr value;
    Check(node_->GetValue(winkit::UniqueBstr::Copy(name).get(), found.put(), value.put()));
    text = VariantAsBool(*found.get()) ? value.str() : std::wstring();
    return VariantAsBool(*found.get());
}

bool ClientToolsSettingsNode::SetValue(const wchar_t* name, const std::wstring& text) const {
    winkit::UniqueVariant written;
    Check(node_->SetValue(winkit::UniqueBstr::Copy(name).get(), written.put(), winkit::UniqueBstr::Copy(text).get()));
    return VariantAsBool(*written.get());
}

void ClientToolsSettingsNode::BeginEntries() const { Check(node_->BeginEntries()); }

void ClientToolsSettingsNode::EndEntries() const { Check(node_->EndEntries()); }
