#include "simsettingsnode.h"

#include "settingsregistry.h"
#include "simerror.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace sim {

const QITAB SimSettingsNode::kInterfaces[] = {
    SIM_QITABENT(SimSettingsNode, ISettingsNode),
    SIM_QITABENTMULTI(SimSettingsNode, IID_IDispatch, ISettingsNode),
    SIM_QITABENT(SimSettingsNode, ISupportErrorInfo),
    {},
};

HRESULT SimSettingsNode::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimSettingsNode>(outer, iid, out);
}

namespace {

std::wstring_view View(BSTR text) { return {text ? text : L"", SysStringLen(text)}; }

void SetBool(VARIANT* out, bool value) {
    VariantInit(out);
    V_VT(out) = VT_BOOL;
    V_BOOL(out) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void CheckValueName(std::wstring_view name) {
    if (name.empty()) Fail(E_INVALIDARG, L"A setting needs a name");
}

} // namespace

STDMETHODIMP SimSettingsNode::GetValue(BSTR name, VARIANT* found, BSTR* text) {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::GetValue", 1);
    try {
        xhr.CheckPointer(found);
        xhr.CheckPointer(text);
        SetBool(found, false);
        *text = nullptr;
        CheckValueName(View(name));
        std::optional<std::wstring> value = ReadSetting(path_, View(name));
        *text = winkit::UniqueBstr::Copy(value ? *value : std::wstring()).release();
        SetBool(found, value.has_value());
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimSettingsNode::GetName(BSTR* name) {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::GetName", 1);
    try {
        xhr.CheckPointer(name);
        *name = nullptr;
        *name = winkit::UniqueBstr::Copy(name_).release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimSettingsNode::SetValue(BSTR name, VARIANT* written, BSTR text) {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::SetValue", 1);
    try {
        xhr.CheckPointer(written);
        SetBool(written, false);
        CheckValueName(View(name));
        WriteSetting(path_, View(name), View(text));
        SetBool(written, true);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimSettingsNode::OpenChild(BSTR name, ISettingsNode** child) {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::OpenChild", 1);
    try {
        xhr.CheckPointer(child);
        *child = nullptr;
        CheckNodeName(View(name));
        winkit::ComPtr<ISettingsNode> made;
        HRESULT hr = winkit::CreateComInstance<SimSettingsNode>(nullptr, __uuidof(ISettingsNode), made.put_void());
        if (FAILED(hr)) Fail(hr, L"Unable to make a settings node");
        auto* node = static_cast<SimSettingsNode*>(made.get());
        node->name_ = View(name);
        node->path_ = path_.empty() ? node->name_ : path_ + L'\\' + node->name_;
        *child = made.release();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimSettingsNode::DeleteChild(BSTR name) {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::DeleteChild", 1);
    try {
        CheckNodeName(View(name));
        std::wstring child = path_.empty() ? std::wstring(View(name)) : path_ + L'\\' + std::wstring(View(name));
        DeleteSettingsNode(child);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimSettingsNode::EndEntries() {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::EndEntries", 1);
    try {
        std::optional<unsigned long long> count = EntryNumber(name_);
        if (!count)
            Fail(E_UNEXPECTED, L"EndEntries belongs to the node after the last entry, named by the entry count; '%ls' is no count",
                 name_.c_str());
        std::wstring parent = path_.size() > name_.size() ? path_.substr(0, path_.size() - name_.size() - 1) : std::wstring();
        DeleteEntriesFrom(parent, *count);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimSettingsNode::BeginEntries() {
    QRComException xhr;
    xhr.Enter(L"SimSettingsNode::BeginEntries", 1);
    try {
        // Nothing to prepare: EndEntries makes the stored list end where the store ended.
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

} // namespace sim
