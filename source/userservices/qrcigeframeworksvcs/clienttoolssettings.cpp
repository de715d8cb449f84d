#include "clienttoolssettings.h"

#include <comdef.h>
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
    Check(::CoCreateInstance(CLSID_QRClientToolsGlobals, nullptr, CLSCTX_ALL, IID_IGlobals, globals.put_void()),
          nullptr, IID_IGlobals);
    if (!globals) _com_issue_errorex(E_POINTER, nullptr, IID_IGlobals);
    winkit::UniqueBstr root;
    Check(globals->GetSettingsRoot(root.put()), globals.get(), IID_IGlobals);

    winkit::ComPtr<ISettingsNode> node;
    Check(::CoCreateInstance(CLSID_QRClientToolsSettingsNode, nullptr, CLSCTX_ALL, IID_ISettingsNode,
                             node.put_void()),
          nullptr, IID_ISettingsNode);
    if (!node) _com_issue_errorex(E_POINTER, nullptr, IID_ISettingsNode);
    return ClientToolsSettingsNode(std::move(node)).OpenChild(root.str());
}

void ClientToolsSettingsNode::Check(HRESULT hr, IUnknown* object, REFIID iid) {
    if (FAILED(hr)) _com_issue_errorex(hr, object, iid);
}

ClientToolsSettingsNode ClientToolsSettingsNode::OpenChild(const std::wstring& name) const {
    winkit::ComPtr<ISettingsNode> child;
    CheckNode(node_->OpenChild(winkit::UniqueBstr::Copy(name).get(), child.put()));
    // A store that answers success without a node cannot be used further.
    if (!child) _com_issue_errorex(E_POINTER, nullptr, IID_ISettingsNode);
    return ClientToolsSettingsNode(std::move(child));
}

bool ClientToolsSettingsNode::GetValue(const wchar_t* name, std::wstring& text) const {
    winkit::UniqueVariant found;
    winkit::UniqueBstr value;
    CheckNode(node_->GetValue(winkit::UniqueBstr::Copy(name).get(), found.put(), value.put()));
    text = VariantAsBool(*found.get()) ? value.str() : std::wstring();
    return VariantAsBool(*found.get());
}

bool ClientToolsSettingsNode::SetValue(const wchar_t* name, const std::wstring& text) const {
    winkit::UniqueVariant written;
    CheckNode(node_->SetValue(winkit::UniqueBstr::Copy(name).get(), written.put(),
                              winkit::UniqueBstr::Copy(text).get()));
    return VariantAsBool(*written.get());
}

void ClientToolsSettingsNode::BeginEntries() const { CheckNode(node_->BeginEntries()); }

void ClientToolsSettingsNode::EndEntries() const { CheckNode(node_->EndEntries()); }
