#include "simsettingsnode.h"

#include "settingsregistry.h"
#include "simerror.h"
#include "winkit/bstr_text.h"
#include "winkit/com_ptr.h"

namespace sim {

SIM_DUAL_CLASS(SimSettingsNode, ISettingsNode)

namespace {

void SetBool(VARIANT* out, bool value) {
    VariantInit(out);
    V_VT(out) = VT_BOOL;
    V_BOOL(out) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

// The name of a setting, refused when empty.
std::wstring_view ValueName(BSTR name) {
    if (SysStringLen(name) == 0) Fail(E_INVALIDARG, L"A setting needs a name");
    return winkit::BstrView(name);
}

// The name of a child node, refused when a node cannot have it.
std::wstring NodeName(BSTR name) {
    CheckNodeName(winkit::BstrView(name));
    return winkit::BstrText(name);
}

// The path of the child `name` of the node at `path`.
std::wstring ChildPath(const std::wstring& path, const std::wstring& name) {
    return path.empty() ? name : path + L'\\' + name;
}

} // namespace

STDMETHODIMP SimSettingsNode::GetValue(BSTR name, VARIANT* found, BSTR* text) {
    return Traced(L"SimSettingsNode::GetValue", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(found);
        xhr.CheckPointer(text);
        SetBool(found, false);
        *text = nullptr;
        std::optional<std::wstring> value = ReadSetting(path_, ValueName(name));
        *text = winkit::UniqueBstr::Copy(value ? *value : std::wstring()).release();
        SetBool(found, value.has_value());
    });
}

STDMETHODIMP SimSettingsNode::GetName(BSTR* name) {
    return TracedText(L"SimSettingsNode::GetName", name, [&] { return std::wstring_view(name_); });
}

STDMETHODIMP SimSettingsNode::SetValue(BSTR name, VARIANT* written, BSTR text) {
    return Traced(L"SimSettingsNode::SetValue", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(written);
        SetBool(written, false);
        WriteSetting(path_, ValueName(name), winkit::BstrView(text));
        SetBool(written, true);
    });
}

STDMETHODIMP SimSettingsNode::OpenChild(BSTR name, ISettingsNode** child) {
    return Traced(L"SimSettingsNode::OpenChild", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(child);
        *child = nullptr;
        std::wstring childName = NodeName(name);
        winkit::ComPtr<ISettingsNode> made;
        HRESULT hr = winkit::CreateComInstance<SimSettingsNode>(nullptr, __uuidof(ISettingsNode), made.put_void());
        if (FAILED(hr)) Fail(hr, L"Unable to make a settings node");
        auto* node = static_cast<SimSettingsNode*>(made.get());
        node->path_ = ChildPath(path_, childName);
        node->name_ = std::move(childName);
        *child = made.release();
    });
}

STDMETHODIMP SimSettingsNode::DeleteChild(BSTR name) {
    return Traced(L"SimSettingsNode::DeleteChild", 1, [&](QRComException&) {
        DeleteSettingsNode(ChildPath(path_, NodeName(name)));
    });
}

STDMETHODIMP SimSettingsNode::EndEntries() {
    return Traced(L"SimSettingsNode::EndEntries", 1, [&](QRComException&) {
        std::optional<unsigned long long> count = EntryNumber(name_);
        if (!count)
            Fail(E_UNEXPECTED, L"EndEntries belongs to the node after the last entry, named by the entry count; '%ls' is no count",
                 name_.c_str());
        std::wstring parent = path_.size() > name_.size() ? path_.substr(0, path_.size() - name_.size() - 1) : std::wstring();
        DeleteEntriesFrom(parent, *count);
    });
}

STDMETHODIMP SimSettingsNode::BeginEntries() {
    // Nothing to prepare: EndEntries makes the stored list end where the store ended.
    return Traced(L"SimSettingsNode::BeginEntries", 1, [](QRComException&) {});
}

} // namespace sim
