#pragma once
// GoogleMock fakes of the host's workspace and service request.
#include <gmock/gmock.h>
#include <string>
#include <tuple>
#include "comidentifiers.h"
#include "support/fake_com.h"

namespace testcom {

#define TESTCOM_COM(...) (Calltype(STDMETHODCALLTYPE), override)

class MockServiceRequest : public FakeComObject<IServiceRequest> {
public:
    MOCK_METHOD(HRESULT, SetComponent, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetMethod, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetInput, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, GetOutput, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetFlags, (LONG), TESTCOM_COM());
    MOCK_METHOD(HRESULT, Execute, (LONG), TESTCOM_COM());
    MOCK_METHOD(HRESULT, BeginInput, (), TESTCOM_COM());
    MOCK_METHOD(HRESULT, BeginElement, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, AddField, (BSTR, VARIANT), TESTCOM_COM());
    MOCK_METHOD(HRESULT, EndElement, (BSTR), TESTCOM_COM());
};

// The host's workspace is a dispatch object that answers IWorkspace.
class MockWorkspace : public FakeComObject<IWorkspace, IDispatch> {
public:
    TESTCOM_NO_DISPATCH
    MOCK_METHOD(HRESULT, GetUserName, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, GetWorkspacePath, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, GetWorkspaceName, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, CreateServiceRequest, (IServiceRequest**), TESTCOM_COM());
};

// Writes a new BSTR with the text into the last argument, an out-parameter, and
// returns `result`.
inline auto WriteText(std::wstring text, HRESULT result = S_OK) {
    return [text = std::move(text), result](auto... args) {
        BSTR* out = std::get<sizeof...(args) - 1>(std::make_tuple(args...));
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return result;
    };
}

// Hands out a new reference to `object` through the out-parameter.
template <class Interface>
auto HandOut(Interface* object) {
    return [object](Interface** out) {
        object->AddRef();
        *out = object;
        return S_OK;
    };
}

// Matches a BSTR argument with this text; a null BSTR matches only an empty text.
MATCHER_P(Text, expected, "") {
    std::wstring actual = arg ? std::wstring(arg, SysStringLen(arg)) : std::wstring();
    return actual == std::wstring(expected);
}

MATCHER(NullBstr, "") { return arg == nullptr; }

} // namespace testcom
