// The proxy of the spreadsheet application's objects. Calls are logged by the label the
// report reached the object by ("Sheet1!D1 put ColumnWidth = VT_I4 30"), lookups as
// "Sheet1!A1.Value", each followed by what differs from the usual late-bound call.
#include <map>
#include <vector>
#include "support/fault_proxies.h"
#include "support/proxy_base.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

namespace fault {
namespace {

std::wstring ValueText(const VARIANT& v) {
    if (V_VT(&v) == VT_BOOL) return std::to_wstring(static_cast<int>(V_BOOL(&v)));
    winkit::UniqueVariant text;
    if (FAILED(VariantChangeType(text.get(), const_cast<VARIANT*>(&v), 0, VT_BSTR))) return L"?";
    return std::wstring(V_BSTR(text.get()), SysStringLen(V_BSTR(text.get())));
}

// "VT_I4 30", "VT_BSTR \"D1\"", "VT_BOOL -1", "VT_ARRAY|VT_VARIANT [1..4,1..3]"
std::wstring Describe(const VARIANT& v) {
    if (V_VT(&v) & VT_ARRAY) {
        std::wstring text = V_VT(&v) == (VT_ARRAY | VT_VARIANT) ? L"VT_ARRAY|VT_VARIANT [" : L"VT_" + std::to_wstring(V_VT(&v)) + L" [";
        for (UINT d = 1, n = SafeArrayGetDim(V_ARRAY(&v)); d <= n; ++d) {
            LONG lower = 0, upper = -1;
            SafeArrayGetLBound(V_ARRAY(&v), d, &lower);
            SafeArrayGetUBound(V_ARRAY(&v), d, &upper);
            text += (d > 1 ? L"," : L"") + std::to_wstring(lower) + L".." + std::to_wstring(upper);
        }
        return text + L"]";
    }
    if (V_VT(&v) == VT_BSTR) return L"VT_BSTR \"" + ValueText(v) + L"\"";
    std::wstring type = V_VT(&v) == VT_I4 ? L"I4" : V_VT(&v) == VT_BOOL ? L"BOOL" : std::to_wstring(V_VT(&v));
    return L"VT_" + type + L" " + ValueText(v);
}

// The positional arguments in the member's own order (Invoke gets them last first).
std::vector<const VARIANT*> Positional(const DISPPARAMS* p) {
    std::vector<const VARIANT*> arguments;
    for (UINT i = p ? p->cArgs : 0; p && i > p->cNamedArgs; --i) arguments.push_back(&p->rgvarg[i - 1]);
    return arguments;
}

std::wstring Unusual(REFIID iid, LCID locale, LCID usual) {
    std::wstring text = iid != IID_NULL ? L" [interface]" : L"";
    return locale != usual ? text + L" [locale " + std::to_wstring(locale) + L"]" : text;
}

std::wstring LookupText(const std::wstring& label, const std::wstring& name, REFIID iid, UINT count, LCID locale) {
    std::wstring text = label + L"." + name + Unusual(iid, locale, LOCALE_USER_DEFAULT);
    return count != 1 ? text + L" [" + std::to_wstring(count) + L" names]" : text;
}

std::wstring InvokeText(const std::wstring& label, const std::wstring& member, WORD kind, const DISPPARAMS* p, REFIID iid,
                        LCID locale, const EXCEPINFO* exception, const UINT* argumentError) {
    std::wstring verb = kind == DISPATCH_METHOD ? L"call" : kind == DISPATCH_PROPERTYGET ? L"get"
                      : kind == DISPATCH_PROPERTYPUT ? L"put" : L"kind" + std::to_wstring(kind);
    std::wstring text = label + L" " + verb + L" " + member;
    std::vector<const VARIANT*> positional = Positional(p);
    if (!positional.empty() || kind != DISPATCH_PROPERTYPUT) {
        text += L"(";
        for (size_t i = 0; i < positional.size(); ++i) text += (i ? L", " : L"") + Describe(*positional[i]);
        text += L")";
    }
    for (UINT i = 0; p && i < p->cNamedArgs; ++i) {
        DISPID named = p->rgdispidNamedArgs[i];
        text += named == DISPID_PROPERTYPUT ? L" = " + Describe(p->rgvarg[i])
                                            : L" [#" + std::to_wstring(named) + L" = " + Describe(p->rgvarg[i]) + L"]";
    }
    text += Unusual(iid, locale, LOCALE_SYSTEM_DEFAULT);
    if (exception) text += L" [exception info]";
    return argumentError ? text + L" [argument error]" : text;
}

// The member names of each kind of object, learned from the lookups, so that a site
// names the member an id stands for.
std::map<std::pair<std::wstring, DISPID>, std::wstring> memberNames;

bool Is(const std::wstring& member, const wchar_t* name) { return _wcsicmp(member.c_str(), name) == 0; }

// The kind of object a member of a kind returns.
std::wstring ResultKind(const std::wstring& kind, const std::wstring& member) {
    static const wchar_t* const kResults[][3] = {  // kind, member, the kind returned
        {L"Application", L"Workbooks", L"Workbooks"}, {L"Workbooks", L"Add", L"Workbook"},
        {L"Workbook", L"Sheets", L"Sheets"},          {L"Sheets", L"Item", L"Worksheet"},
        {L"Worksheet", L"Range", L"Range"},           {L"Range", L"Resize", L"Range"},
        {L"Range", L"Font", L"Font"},
    };
    for (const auto& r : kResults)
        if (kind == r[0] && Is(member, r[1])) return r[2];
    return member;
}

// The label of what a member returned: "Sheet2", "Sheet2!A1", "Sheet2!A1.Resize(1,3).Font".
std::wstring ResultLabel(const std::wstring& label, const std::wstring& kind, const std::wstring& member,
                         const DISPPARAMS* p) {
    std::vector<std::wstring> arguments;
    for (const VARIANT* v : Positional(p)) arguments.push_back(ValueText(*v));
    arguments.resize(2);
    if (Is(member, L"Item")) return L"Sheet" + arguments[0];
    if (Is(member, L"Range")) return label + L"!" + arguments[0];
    if (Is(member, L"Resize")) return label + L".Resize(" + arguments[0] + L"," + arguments[1] + L")";
    if (Is(member, L"Font")) return label + L".Font";
    return ResultKind(kind, member);
}

class AutomationProxy final : public Proxy<IDispatch> {
public:
    static constexpr DISPID kUndefinedId = 0x7FFFFFF0;

    AutomationProxy(IDispatch* inner, std::wstring kind, std::wstring label)
        : inner_(inner), kind_(std::move(kind)), label_(std::move(label)) {}

    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* names, UINT count, LCID l, DISPID* ids) override {
        std::wstring name = names && count ? names[0] : L"";
        auto lookUp = [&] {
            HRESULT hr = inner_->GetIDsOfNames(r, names, count, l, ids);
            if (SUCCEEDED(hr) && count && ids) memberNames[{kind_, ids[0]}] = name;
            return hr;
        };
        // Only an unknown name promises DISPID_UNKNOWN; after any other failure the ids
        // are undefined. This one leaves an id that no member has.
        auto undefined = [&] {
            for (UINT i = 0; ids && i < count; ++i) ids[i] = kUndefinedId;
        };
        return FaultPlan::Get().Pass(Site(L"GetIDsOfNames", name), LookupText(label_, name, r, count, l), lookUp, undefined);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID r, LCID l, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* e,
                        UINT* a) override {
        auto known = memberNames.find({kind_, id});
        std::wstring member = known != memberNames.end() ? known->second : L"#" + std::to_wstring(id);
        auto invoke = [&] {
            HRESULT hr = inner_->Invoke(id, r, l, flags, p, result, e, a);
            if (SUCCEEDED(hr) && (flags & DISPATCH_PROPERTYPUT)) FaultPlan::Get().CountWrite();
            if (SUCCEEDED(hr) && result && V_VT(result) == VT_DISPATCH && V_DISPATCH(result)) {
                IDispatch* object = V_DISPATCH(result);
                V_DISPATCH(result) = new AutomationProxy(object, ResultKind(kind_, member), ResultLabel(label_, kind_, member, p));
                object->Release();
            }
            return hr;
        };
        return Pass(Site(L"Invoke", member), InvokeText(label_, member, flags, p, r, l, e, a), invoke, result);
    }

private:
    std::wstring Site(const wchar_t* call, const std::wstring& member) const {
        return L"Excel " + kind_ + L"::" + call + L"(" + member + L")";
    }

    winkit::ComPtr<IDispatch> inner_;
    std::wstring kind_;
    std::wstring label_;
};

} // namespace

IDispatch* WrapAutomationObject(IDispatch* inner, const std::wstring& kind) {
    return static_cast<IDispatch*>(new AutomationProxy(inner, kind, kind));
}

} // namespace fault
