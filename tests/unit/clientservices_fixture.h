#pragma once
// The client services object under test with its partners replaced for this process:
// GoogleMock fakes of the older adapter, the client tools' Globals and the stream
// selection component, registered with CoRegisterClassObject, the adapter's ProgID
// pointed at the fake adapter's class, and a fake workspace whose requests the test queues.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include "support/fake_host.h"
#include "support/progid_override.h"
#include "winkit/com_module.h"
#include "winkit/module_lock.h"
#include "winkit/unique_bstr.h"

namespace testcom {

class MockOldAdapter : public FakeComObject<IQREFOldClientServices> {
public:
    TESTCOM_NO_DISPATCH
    MOCK_METHOD(HRESULT, UnInitialize, (), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetRestore, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, get_XMLFileName, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, put_XMLFileName, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, get_AdapterVersion, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetProductName, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetFrameworkData, (BSTR, BSTR, BSTR, BSTR, BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SetPlantData, (BSTR, BSTR, BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, Initialize, (IDispatch*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, ConnectToEF, (), TESTCOM_COM());
    MOCK_METHOD(HRESULT, Publish, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, Retrieve, (), TESTCOM_COM());
    MOCK_METHOD(HRESULT, FindDocsToPublish, (), TESTCOM_COM());
    MOCK_METHOD(HRESULT, LaunchFrameworkBrowser, (), TESTCOM_COM());
    MOCK_METHOD(HRESULT, Register, (IDispatch*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, GetProjectList, (SAFEARRAY**), TESTCOM_COM());
    MOCK_METHOD(HRESULT, PublishProjectAsBuilt, (BSTR), TESTCOM_COM());
    MOCK_METHOD(HRESULT, SynchronizeClaims, (BSTR, BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, Revise, (BSTR), TESTCOM_COM());

protected:
    void* QueryOther(REFIID iid) override {
        return iid == IID_IDispatch ? static_cast<IQREFOldClientServices*>(this) : nullptr;
    }
};

class MockGlobals : public FakeComObject<IGlobals> {
public:
    TESTCOM_NO_DISPATCH
    MOCK_METHOD(HRESULT, GetSettingsRoot, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, GetToolsVersion, (BSTR*), TESTCOM_COM());
    MOCK_METHOD(HRESULT, GetVersionSpecificIdentifier, (BSTR, BSTR*), TESTCOM_COM());

protected:
    void* QueryOther(REFIID iid) override { return iid == IID_IDispatch ? static_cast<IGlobals*>(this) : nullptr; }
};

// The stream selection component: RunCommand is found by name, under a DISPID of its own,
// and arrives through IDispatch::Invoke, decoded into the RunCommand mock. A failure is reported as a component does: with
// error information on the thread (ISupportErrorInfo), or through EXCEPINFO.
class MockSelection : public FakeComObject<IDispatch, IRunnableObject, ISupportErrorInfo> {
public:
    MOCK_METHOD(HRESULT, RunCommand, (BSTR command, LONG objectId, IDispatch* workspace, LONG value, SHORT flags));
    MOCK_METHOD(void, DispatchInterfaceAsked, ());
    MOCK_METHOD(HRESULT, Run, (LPBINDCTX), TESTCOM_COM());

    bool answersDispatchInterface = true;
    bool reportsThroughExcepInfo = false;
    std::wstring failureSource = L"QRCSelectKBDlg";
    std::wstring failureDescription = L"The stream is claimed by another user";

    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    static constexpr DISPID kRunCommand = 0x60020007;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (count != 1 || wcscmp(names[0], L"RunCommand") != 0) return DISP_E_UNKNOWNNAME;
        *ids = kRunCommand;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT*) override {
        if (id != kRunCommand || !(flags & DISPATCH_METHOD)) {
            ADD_FAILURE() << "unexpected member " << id;
            return DISP_E_MEMBERNOTFOUND;
        }
        if (!params || params->cArgs != 5 || params->cNamedArgs != 0) {
            ADD_FAILURE() << "RunCommand takes five positional arguments";
            return DISP_E_BADPARAMCOUNT;
        }
        VARIANTARG* args = params->rgvarg;  // right to left
        if (V_VT(&args[4]) != VT_BSTR || V_VT(&args[3]) != VT_I4 || V_VT(&args[2]) != VT_DISPATCH ||
            V_VT(&args[1]) != VT_I4 || V_VT(&args[0]) != VT_I2) {
            ADD_FAILURE() << "RunCommand argument types";
            return DISP_E_TYPEMISMATCH;
        }
        HRESULT hr = RunCommand(V_BSTR(&args[4]), V_I4(&args[3]), V_DISPATCH(&args[2]), V_I4(&args[1]), V_I2(&args[0]));
        if (SUCCEEDED(hr)) {
            // An object as the result, so that a result never released shows as a leak.
            if (result) {
                V_VT(result) = VT_DISPATCH;
                V_DISPATCH(result) = new FakeDispatch();
            }
            return hr;
        }
        if (reportsThroughExcepInfo && exception) {
            exception->scode = hr;
            exception->bstrSource = SysAllocString(failureSource.c_str());
            exception->bstrDescription = SysAllocString(failureDescription.c_str());
            return DISP_E_EXCEPTION;
        }
        PlantThreadError(failureSource.c_str(), failureDescription.c_str(), DIID_DQRCSelectKBDlg);
        return hr;
    }

    STDMETHODIMP GetRunningClass(LPCLSID) override { return E_NOTIMPL; }
    STDMETHODIMP_(BOOL) IsRunning() override { return TRUE; }
    STDMETHODIMP LockRunning(BOOL, BOOL) override { return S_OK; }
    STDMETHODIMP SetContainedObject(BOOL) override { return S_OK; }

    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == DIID_DQRCSelectKBDlg ? S_OK : S_FALSE;
    }

protected:
    void* QueryOther(REFIID iid) override {
        if (iid != DIID_DQRCSelectKBDlg || !answersDispatchInterface) return nullptr;
        DispatchInterfaceAsked();
        return static_cast<IDispatch*>(this);
    }
};

// {5E1F7A10-3C11-4E55-9B1A-000000000A01}: the fake adapter's class in this process.
inline constexpr CLSID kFakeAdapterClass = {0x5e1f7a10, 0x3c11, 0x4e55, {0x9b, 0x1a, 0x00, 0x00, 0x00, 0x00, 0x0a, 0x01}};
inline constexpr const wchar_t* kFakeAdapterProgId = L"QRTest.OldAdapter.ClientServices.1";

// A framework data document with all ten attributes.
inline const std::wstring kFullFrameworkData =
    L"<EFData EFURL=\"http://ef.example/zud\" EFPLANT=\"EFP1\" EFSIGNATURE=\"SIG-1\" TEFVERSION=\"3.65\""
    L" EFUID=\"uid7\" EFNAME=\"Framework One\" RESTORE=\"restore-1\" PLANTNAME=\"North\" AREANAME=\"A20\""
    L" UNITNAME=\"U3\"/>";

class ClientServicesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, adapterProgId_.result());
        globalsRegistration_.emplace(CLSID_QRClientToolsGlobals, globalsFactory.get());
        adapterRegistration_.emplace(kFakeAdapterClass, adapterFactory.get());
        selectionRegistration_.emplace(CLSID_QRCSelectKBDlg, selectionFactory.get());
        ASSERT_EQ(S_OK, globalsRegistration_->result());
        ASSERT_EQ(S_OK, adapterRegistration_->result());
        ASSERT_EQ(S_OK, selectionRegistration_->result());

        ON_CALL(*globals, GetVersionSpecificIdentifier(Text(L"QREFOldAdapter380.ClientServices"), testing::_))
            .WillByDefault(WriteText(kFakeAdapterProgId));
        ON_CALL(*workspace, CreateServiceRequest(testing::_)).WillByDefault([this](IServiceRequest** out) {
            if (queued_.empty()) {
                ADD_FAILURE() << "a service request nobody expected";
                return E_UNEXPECTED;
            }
            *out = queued_.front().release();
            queued_.pop_front();
            return S_OK;
        });
        SetErrorInfo(0, nullptr);
        services = CreateServices();
        ASSERT_TRUE(services);
    }

    void TearDown() override {
        services.reset();
        EXPECT_EQ(0, winkit::ModuleLock::Count()) << "client services objects left alive";
        EXPECT_TRUE(queued_.empty()) << "a queued service request was never made";
        queued_.clear();
        selectionRegistration_.reset();
        adapterRegistration_.reset();
        globalsRegistration_.reset();
        selectionFactory.reset();
        adapterFactory.reset();
        globalsFactory.reset();
        workspace.reset();
        selection.reset();
        globals.reset();
        adapter.reset();
        EXPECT_EQ(liveBefore_, LiveObjects()) << "fake objects not released";
        SetErrorInfo(0, nullptr);
    }

    // Made through the module's class object, as COM makes it.
    static winkit::ComPtr<IQRCIGEFClientServices> CreateServices() {
        winkit::ComPtr<IClassFactory> factory;
        winkit::ComPtr<IQRCIGEFClientServices> made;
        if (SUCCEEDED(winkit::ComModule::Get().GetClassObject(CLSID_QRCIGEFClientServices, IID_IClassFactory,
                                                              factory.put_void())))
            factory->CreateInstance(nullptr, IID_IQRCIGEFClientServices, made.put_void());
        return made;
    }

    IDispatch* WorkspaceDispatch() const { return static_cast<IDispatch*>(workspace.get()); }

    // The next CreateServiceRequest hands out a request that answers `method` (given
    // `input`) with `output`; its Execute returns what `execute` returns.
    MockServiceRequest& QueueTextCall(const wchar_t* method, const std::wstring& input, const std::wstring& output,
                                      std::function<HRESULT()> execute) {
        auto* request = new testing::NiceMock<MockServiceRequest>();
        queued_.push_back(winkit::ComPtr<IServiceRequest>::Attach(request));
        testing::InSequence order;
        EXPECT_CALL(*request, SetMethod(Text(method)));
        if (input.empty()) EXPECT_CALL(*request, SetInput(testing::_)).Times(0);
        else EXPECT_CALL(*request, SetInput(Text(input)));
        EXPECT_CALL(*request, Execute(0)).WillOnce([execute, request](LONG) {
            HRESULT hr = execute();
            if (FAILED(hr)) EXPECT_CALL(*request, GetOutput(testing::_)).Times(0);
            return hr;
        });
        EXPECT_CALL(*request, GetOutput(testing::_)).Times(testing::AtMost(1)).WillRepeatedly(WriteText(output));
        return *request;
    }
    MockServiceRequest& QueueTextCall(const wchar_t* method, const std::wstring& input, const std::wstring& output,
                                      HRESULT executeResult = S_OK) {
        return QueueTextCall(method, input, output, [executeResult] { return executeResult; });
    }

    // For tests about something else: the adapter may hear what Initialize tells it.
    void AllowAdapterInitialization() {
        using testing::_;
        EXPECT_CALL(*adapter, SetRestore(_)).Times(testing::AnyNumber());
        EXPECT_CALL(*adapter, SetPlantData(_, _, _)).Times(testing::AnyNumber());
        EXPECT_CALL(*adapter, SetFrameworkData(_, _, _, _, _)).Times(testing::AnyNumber());
        EXPECT_CALL(*adapter, SetProductName(_)).Times(testing::AnyNumber());
        EXPECT_CALL(*adapter, Initialize(_)).Times(testing::AnyNumber());
    }

    HRESULT InitializeWith(const std::wstring& frameworkData) {
        QueueTextCall(L"GetEFData", L"", frameworkData);
        return services->Initialize(WorkspaceDispatch());
    }

    // Before the fakes, so that it counts what other tests may have left alive.
    LONG liveBefore_ = LiveObjects();

    Fake<testing::StrictMock<MockOldAdapter>> adapter;
    Fake<testing::NiceMock<MockGlobals>> globals;
    Fake<testing::StrictMock<MockSelection>> selection;
    Fake<testing::NiceMock<MockWorkspace>> workspace;
    Fake<FakeClassFactory> adapterFactory{adapter.get()};
    Fake<FakeClassFactory> globalsFactory{globals.get()};
    Fake<FakeClassFactory> selectionFactory{static_cast<IDispatch*>(selection.get())};
    winkit::ComPtr<IQRCIGEFClientServices> services;

private:
    ProgIdOverride adapterProgId_{kFakeAdapterProgId, kFakeAdapterClass};
    std::optional<ClassRegistration> globalsRegistration_, adapterRegistration_, selectionRegistration_;
    std::deque<winkit::ComPtr<IServiceRequest>> queued_;
};

// A BSTR argument given by the test, freed at the end of the statement's scope.
inline winkit::UniqueBstr B(const wchar_t* text) { return winkit::UniqueBstr::Copy(text); }

} // namespace testcom
