#include "taskrecord.h"

#include <algorithm>
#include "automationdate.h"
#include "simerror.h"
#include "simxmltext.h"
#include "winkit/bstr_text.h"

namespace sim {

namespace {

const wchar_t* TypeName(VARTYPE type) {
    switch (type) {
    case VT_I4: return L"VT_I4";
    case VT_BSTR: return L"VT_BSTR";
    case VT_R8: return L"VT_R8";
    default: return L"another type";
    }
}

void RequireType(const RequestField& field, VARTYPE expected, const wchar_t* method) {
    if (field.value.vt() != expected)
        Fail(E_INVALIDARG, L"%ls: the field '%ls' is %ls; %ls is expected", method, field.name.c_str(),
             TypeName(field.value.vt()), TypeName(expected));
}

} // namespace

TaskRecord::TaskRecord(const RequestInput& input, const wchar_t* method) : input_(input), method_(method) {
    if (!input.HasRecord()) Fail(E_INVALIDARG, L"%ls needs a '%ls' record as its input", method, kRecordElement);
}

const RequestField* TaskRecord::Find(const wchar_t* name) const {
    for (const RequestField& field : input_.Fields())
        if (field.name == name) return &field;
    return nullptr;
}

void TaskRecord::AllowFields(bool taskFields, std::initializer_list<const wchar_t*> extra) const {
    for (const RequestField& field : input_.Fields()) {
        bool known = (taskFields && FindTaskField(field.name)) ||
                     std::any_of(extra.begin(), extra.end(), [&](const wchar_t* name) { return field.name == name; });
        if (!known) Fail(E_INVALIDARG, L"%ls does not take the field '%ls'", method_, field.name.c_str());
    }
}

long TaskRecord::RequireLong(const wchar_t* name) const {
    const RequestField* field = Find(name);
    if (!field) Fail(E_INVALIDARG, L"%ls: the field '%ls' is missing", method_, name);
    RequireType(*field, VT_I4, method_);
    return V_I4(field->value.get());
}

void TaskRecord::ApplyTaskFields(SimTask& task) const {
    for (const RequestField& field : input_.Fields()) {
        const TaskFieldInfo* info = FindTaskField(field.name);
        if (!info) continue;
        const VARIANT* value = field.value.get();
        switch (info->kind) {
        case FieldKind::Text: {
            RequireType(field, VT_BSTR, method_);
            std::wstring_view text = winkit::BstrView(V_BSTR(value));
            size_t bad = FindInvalidXmlCharacter(text);
            if (bad != std::wstring_view::npos)
                Fail(E_INVALIDARG, L"%ls: the field '%ls' holds the character U+%04X, which a workspace cannot keep",
                     method_, field.name.c_str(), static_cast<unsigned>(text[bad]));
            task.texts[info->slot] = std::wstring(text);
            break;
        }
        case FieldKind::Date: {
            RequireType(field, VT_R8, method_);
            std::optional<std::wstring> text = AutomationDateText(V_R8(value));
            if (!text) Fail(E_INVALIDARG, L"%ls: the field '%ls' holds %g, which is not a date", method_, field.name.c_str(), V_R8(value));
            task.texts[info->slot] = *text;
            break;
        }
        case FieldKind::Integer: {
            RequireType(field, VT_I4, method_);
            long code = V_I4(value);
            if (code < info->minimum || code > info->maximum)
                Fail(E_INVALIDARG, L"%ls: the field '%ls' holds %ld; a value from %ld to %ld is expected", method_,
                     field.name.c_str(), code, info->minimum, info->maximum);
            task.integers[info->slot] = code;
            break;
        }
        }
    }
}

} // namespace sim
