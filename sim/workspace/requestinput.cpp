#include "requestinput.h"

#include <cstdarg>
#include "diagnostics/wideformat.h"
#include "simerror.h"

namespace sim {

void RequestInput::Refuse(HRESULT hr, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatWideV(format, args);
    va_end(args);
    if (fault_.empty()) {
        fault_ = text;
        faultResult_ = hr;
    }
    Fail(hr, L"%ls", text.c_str());
}

void RequestInput::BeginInput() {
    fields_.clear();
    fault_.clear();
    faultResult_ = S_OK;
    state_ = State::InputBegun;
}

void RequestInput::BeginElement(std::wstring_view name) {
    std::wstring element(name);
    if (state_ == State::None) Refuse(E_UNEXPECTED, L"BeginElement('%ls') was called before BeginInput", element.c_str());
    if (state_ == State::ElementOpen) Refuse(E_UNEXPECTED, L"BeginElement('%ls') was called inside an open element", element.c_str());
    if (state_ == State::ElementEnded) Refuse(E_UNEXPECTED, L"The input holds one element only; BeginElement('%ls') came after it", element.c_str());
    if (name != kRecordElement) Refuse(E_INVALIDARG, L"The element '%ls' is not known; the input is one '%ls' element", element.c_str(), kRecordElement);
    state_ = State::ElementOpen;
}

void RequestInput::AddField(std::wstring_view name, const VARIANT& value) {
    std::wstring field(name);
    if (state_ != State::ElementOpen) Refuse(E_UNEXPECTED, L"AddField('%ls') was called outside an element", field.c_str());
    if (field.empty()) Refuse(E_INVALIDARG, L"AddField was called without a field name");
    for (const RequestField& other : fields_)
        if (other.name == field) Refuse(E_INVALIDARG, L"The field '%ls' was given twice", field.c_str());
    VARTYPE type = V_VT(&value);
    if (type != VT_I4 && type != VT_BSTR && type != VT_R8)
        Refuse(E_INVALIDARG, L"The field '%ls' has the VARIANT type %u; VT_I4, VT_BSTR or VT_R8 are accepted", field.c_str(),
               static_cast<unsigned>(type));
    RequestField added{field, {}};
    HRESULT hr = VariantCopy(added.value.put(), const_cast<VARIANT*>(&value));
    if (FAILED(hr)) Refuse(hr, L"The field '%ls' could not be copied", field.c_str());
    fields_.push_back(std::move(added));
}

void RequestInput::EndElement(std::wstring_view name) {
    std::wstring element(name);
    if (state_ != State::ElementOpen) Refuse(E_UNEXPECTED, L"EndElement('%ls') was called without an open element", element.c_str());
    if (name != kRecordElement) Refuse(E_INVALIDARG, L"EndElement('%ls') does not name the open element '%ls'", element.c_str(), kRecordElement);
    state_ = State::ElementEnded;
}

void RequestInput::CheckUsable() const {
    if (!fault_.empty()) Fail(faultResult_, L"The request's input is not usable: %ls", fault_.c_str());
    if (state_ == State::ElementOpen) Fail(E_UNEXPECTED, L"The element '%ls' of the input was not ended", kRecordElement);
}

} // namespace sim
