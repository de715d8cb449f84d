#pragma once
// The structured input of a service request: BeginInput, one element with its fields,
// EndElement. Calls in the wrong order or fields of a kind the framework does not take
// are refused at once and make the request unusable until the next BeginInput.
#include <windows.h>
#include <oaidl.h>
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "winkit/unique_variant.h"

namespace sim {

struct RequestField {
    std::wstring name;
    winkit::UniqueVariant value;  // VT_I4, VT_BSTR or VT_R8
};

class RequestInput {
public:
    // Each throws a QRComException for a call out of order or a refused field.
    void BeginInput();
    void BeginElement(std::wstring_view name);
    void AddField(std::wstring_view name, const VARIANT& value);
    void EndElement(std::wstring_view name);

    // Throws the fault that made the input unusable, or when an element is still open.
    void CheckUsable() const;
    // True when a complete "TaskItem" element was given.
    bool HasRecord() const { return state_ == State::ElementEnded; }
    const std::vector<RequestField>& Fields() const { return fields_; }

private:
    enum class State { None, InputBegun, ElementOpen, ElementEnded };

    [[noreturn]] void Refuse(HRESULT hr, const wchar_t* format, ...);

    State state_ = State::None;
    std::vector<RequestField> fields_;
    std::wstring fault_;  // why the input cannot be used, or empty
    HRESULT faultResult_ = S_OK;
};

inline constexpr const wchar_t* kRecordElement = L"TaskItem";

} // namespace sim
