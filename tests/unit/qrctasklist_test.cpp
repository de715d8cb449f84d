// The To Do list object: its interfaces, Initialize, Show's checks, aggregation, lifetime.
#include <gtest/gtest.h>
#include "comidentifiers.h"
#include "qrctasklist.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"
#include "winkit/com_module.h"
#include "winkit/com_ptr.h"

namespace {

winkit::ComPtr<IQRCTaskList> NewTaskList() {
    winkit::ComPtr<IQRCTaskList> list;
    EXPECT_EQ(S_OK, QRCTaskList::Create(nullptr, IID_IQRCTaskList, list.put_void()));
    return list;
}

// A controlling object for aggregation tests: counts its own references.
class Outer final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

} // namespace

TEST(QRCTaskList, AnswersItsInterfacesAndNoOthers) {
    auto list = NewTaskList();
    for (const IID* iid : {&IID_IUnknown, &IID_IQRCTaskList, &IID_IDispatch, &IID_IProvideClassInfo2, &IID_IProvideClassInfo}) {
        winkit::ComPtr<IUnknown> p;
        EXPECT_EQ(S_OK, list.QueryTo(*iid, p.put_void()));
        EXPECT_TRUE(p);
    }
    winkit::ComPtr<IUnknown> none;
    EXPECT_EQ(E_NOINTERFACE, list.QueryTo(IID_ISupportErrorInfo, none.put_void()));
    EXPECT_FALSE(none);
    // Identity: every interface leads to the same IUnknown.
    winkit::ComPtr<IUnknown> a, b;
    list.QueryTo(IID_IUnknown, a.put_void());
    winkit::ComPtr<IDispatch> dispatch;
    list.As(&dispatch);
    dispatch.QueryTo(IID_IUnknown, b.put_void());
    EXPECT_EQ(a.get(), b.get());
}

TEST(QRCTaskList, ClassInfoComesFromTheTypeLibrary) {
    auto list = NewTaskList();
    winkit::ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(S_OK, list.As(&info));
    winkit::ComPtr<ITypeInfo> typeInfo;
    ASSERT_EQ(S_OK, info->GetClassInfo(typeInfo.put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, typeInfo->GetTypeAttr(&attr));
    EXPECT_EQ(CLSID_QRCTaskList, attr->guid);
    EXPECT_EQ(TKIND_COCLASS, attr->typekind);
    typeInfo->ReleaseTypeAttr(attr);
    GUID guid;
    EXPECT_EQ(E_INVALIDARG, info->GetGUID(7, &guid));
}

TEST(QRCTaskList, ShowChecksItsPointerThenItsState) {
    auto list = NewTaskList();
    ClearThreadError();
    EXPECT_EQ(E_POINTER, list->Show(0, nullptr));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QRCTaskList::Show", error.source);
    EXPECT_EQ(L"<QRError Src=\"QRCTaskList::Show\" HR=\"E_POINTER\" />", error.description);

    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(E_FAIL, list->Show(0, &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
    error = TakeThreadError();
    EXPECT_EQ(L"QRCTaskList::Show", error.source);
    EXPECT_EQ(L"<QRError Desc=\"TaskList interface not initialized\" HR=\"E_FAIL\" />", error.description);
}

TEST(QRCTaskList, InitializeRefusesWhatIsNotAWorkspaceAndKeepsTheOneItHas) {
    auto list = NewTaskList();
    testcom::Fake<testcom::FakeDispatch> notAWorkspace;
    EXPECT_EQ(E_INVALIDARG, list->Initialize(nullptr));
    EXPECT_EQ(L"QRCTaskList::Initialize", TakeThreadError().source);
    EXPECT_EQ(E_INVALIDARG, list->Initialize(notAWorkspace.get()));
    EXPECT_EQ(1u, notAWorkspace->RefCount());
    VARIANT_BOOL ok;
    EXPECT_EQ(E_FAIL, list->Show(0, &ok));  // still not initialized
    ClearThreadError();

    testcom::Fake<FakeWorkspace> first, second;
    EXPECT_EQ(S_OK, list->Initialize(static_cast<IDispatch*>(first.get())));
    EXPECT_EQ(2u, first->RefCount());  // one counted reference kept
    EXPECT_EQ(E_INVALIDARG, list->Initialize(notAWorkspace.get()));
    EXPECT_EQ(2u, first->RefCount());  // a failed Initialize leaves the workspace in place
    ClearThreadError();
    EXPECT_EQ(S_OK, list->Initialize(static_cast<IDispatch*>(second.get())));
    EXPECT_EQ(1u, first->RefCount());
    EXPECT_EQ(2u, second->RefCount());
    list.reset();
    EXPECT_EQ(1u, second->RefCount());  // destroying the object releases the workspace
}

TEST(QRCTaskList, AggregatedInstanceDelegatesToTheOuterObject) {
    Outer outer;
    winkit::ComPtr<IUnknown> inner;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, QRCTaskList::Create(&outer, IID_IQRCTaskList, inner.put_void()));
    ASSERT_EQ(S_OK, QRCTaskList::Create(&outer, IID_IUnknown, inner.put_void()));
    outer.inner = inner.get();
    IQRCTaskList* list = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_IQRCTaskList, reinterpret_cast<void**>(&list)));
    EXPECT_EQ(2u, outer.refs);  // the interface's reference belongs to the outer object
    IUnknown* controlling = nullptr;
    list->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&controlling));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), controlling);
    controlling->Release();
    list->Release();
    EXPECT_EQ(1u, outer.refs);
    outer.inner = nullptr;
    inner.reset();
    EXPECT_EQ(0, winkit::ModuleLock::Count());
}

TEST(QRCTaskList, ModuleLocksFollowInstancesAndServerLocks) {
    EXPECT_EQ(S_OK, winkit::ComModule::Get().CanUnloadNow());
    winkit::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, winkit::ComModule::Get().GetClassObject(CLSID_QRCTaskList, IID_IClassFactory, factory.put_void()));
    EXPECT_EQ(S_OK, winkit::ComModule::Get().CanUnloadNow());  // a class object alone does not lock
    winkit::ComPtr<IQRCTaskList> list;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IQRCTaskList, list.put_void()));
    EXPECT_EQ(S_FALSE, winkit::ComModule::Get().CanUnloadNow());
    list.reset();
    EXPECT_EQ(S_OK, winkit::ComModule::Get().CanUnloadNow());
    factory->LockServer(TRUE);
    EXPECT_EQ(S_FALSE, winkit::ComModule::Get().CanUnloadNow());
    factory->LockServer(FALSE);
    EXPECT_EQ(S_OK, winkit::ComModule::Get().CanUnloadNow());
    // Asking a new instance for an interface it lacks destroys it.
    winkit::ComPtr<IUnknown> none;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IPersist, none.put_void()));
    EXPECT_EQ(S_OK, winkit::ComModule::Get().CanUnloadNow());
    winkit::ComPtr<IUnknown> other;
    const CLSID unknown = {0x12345678, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, winkit::ComModule::Get().GetClassObject(unknown, IID_IClassFactory, other.put_void()));
}

TEST(QRCTaskList, LateBoundCallersFindBothMethodsByName) {
    auto list = NewTaskList();
    winkit::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, list.As(&dispatch));
    const wchar_t* names[] = {L"Initialize", L"Show", L"show"};
    const DISPID expected[] = {0x60020101, 0x60020102, 0x60020102};
    for (int i = 0; i < 3; ++i) {
        DISPID id = 0;
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id));
        EXPECT_EQ(expected[i], id);
    }
    // Show without its argument: the default 0 is used, and the state check answers.
    DISPPARAMS none = {};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception = {};
    HRESULT hr = dispatch->Invoke(0x60020102, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, &result, &exception, nullptr);
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ(E_FAIL, exception.scode);
    EXPECT_STREQ(L"QRCTaskList::Show", exception.bstrSource);
    EXPECT_STREQ(L"<QRError Desc=\"TaskList interface not initialized\" HR=\"E_FAIL\" />", exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    ClearThreadError();
}
