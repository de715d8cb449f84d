#pragma once
// GoogleMock fakes of the host's workspace and service request.
#include <gmock/gmock.h>
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

} // namespace testcom
