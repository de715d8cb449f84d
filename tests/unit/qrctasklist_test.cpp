// The To Do list object as a host meets it before the dialog: its interfaces, class
// information, Initialize and Show's checks, aggregation. The late-bound surface is the
// script client's (tests/scripts/tasklist_client.vbs); the module lock is the exported
// DllCanUnloadNow's (tests/registration).
#include <gtest/gtest.h>
#include "comidentifiers.h"
#include "diagnostics/hresulttext.h"
#include "fake_com.h"
#include "qrctasklist.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"
#include "winkit/com_module.h"

namespace {

winkit::ComPtr<IQRCTaskList> NewTaskList() {
    winkit::ComPtr<IQRCTaskList> list;
    EXPECT_EQ(S_OK, QRCTaskList::Create(nullptr, IID_IQRCTaskList, list.put_void()));
    return list;
}

TEST(QRCTaskList, AnswersItsInterfacesWithOneIdentityAndItsClassInfo) {
    auto list = NewTaskList();
    winkit::ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, list.As(&identity));
    const std::pair<const IID*, HRESULT> interfaces[] = {
        {&IID_IDispatch, S_OK},           {&IID_IQRCTaskList, S_OK},         {&IID_IProvideClassInfo, S_OK},
        {&IID_IProvideClassInfo2, S_OK}, {&IID_ISupportErrorInfo, E_NOINTERFACE}, {&IID_IQRCIGEFClientServices, E_NOINTERFACE},
    };
    for (const auto& [iid, expected] : interfaces) {
        winkit::ComPtr<IUnknown> face, itsIdentity;
        EXPECT_EQ(expected, list.QueryTo(*iid, face.put_void())) << winkit::GuidToString(*iid);
        if (face) face.QueryTo(IID_IUnknown, itsIdentity.put_void());
        EXPECT_EQ(face ? identity.get() : nullptr, itsIdentity.get());
    }

    winkit::ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(S_OK, list.As(&info));
    winkit::ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, info->GetClassInfo(coclass.put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attributes));
    EXPECT_EQ(CLSID_QRCTaskList, attributes->guid);
    EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
    coclass->ReleaseTypeAttr(attributes);
    GUID guid;
    EXPECT_EQ(E_INVALIDARG, info->GetGUID(7, &guid));
}

TEST(QRCTaskList, ShowNeedsItsPointerAndAWorkspaceThatInitializeChecks) {
    auto list = NewTaskList();
    FakeWorkspace first, second;
    testcom::Fake<testcom::FakeDispatch> notAWorkspace;
    VARIANT_BOOL ok = VARIANT_FALSE;  // each Show is given VARIANT_TRUE to overwrite
    const std::wstring notInitialized = L"<QRError Desc=\"TaskList interface not initialized\" HR=\"E_FAIL\" />";
    const std::wstring invalid = L"<QRError Desc=\"" + HResultMessage(E_INVALIDARG) + L"\" HR=\"E_INVALIDARG\" />";
    struct Step {
        const char* what;
        std::function<HRESULT()> call;
        HRESULT hr;
        const wchar_t* source;
        std::wstring document;
    };
    const Step steps[] = {
        {"no pointer", [&] { return list->Show(0, nullptr); }, E_POINTER, L"QRCTaskList::Show",
         L"<QRError Src=\"QRCTaskList::Show\" HR=\"E_POINTER\" />"},
        {"not initialized", [&] { return list->Show(0, &(ok = VARIANT_TRUE)); }, E_FAIL, L"QRCTaskList::Show", notInitialized},
        {"null", [&] { return list->Initialize(nullptr); }, E_INVALIDARG, L"QRCTaskList::Initialize", invalid},
        {"not a workspace", [&] { return list->Initialize(notAWorkspace.get()); }, E_INVALIDARG, L"QRCTaskList::Initialize",
         invalid},
        {"still not initialized", [&] { return list->Show(0, &(ok = VARIANT_TRUE)); }, E_FAIL, L"QRCTaskList::Show", notInitialized},
        {"a workspace", [&] { return list->Initialize(static_cast<IDispatch*>(&first)); }, S_OK, L"", L""},
        {"a refused one leaves it", [&] { return list->Initialize(notAWorkspace.get()); }, E_INVALIDARG,
         L"QRCTaskList::Initialize", invalid},
        {"another replaces it", [&] { return list->Initialize(static_cast<IDispatch*>(&second)); }, S_OK, L"", L""},
    };
    const ULONG firstRefs[] = {1, 1, 1, 1, 1, 2, 2, 1};
    for (size_t at = 0; at < std::size(steps); ++at) {
        SCOPED_TRACE(steps[at].what);
        ClearThreadError();
        EXPECT_EQ(steps[at].hr, steps[at].call());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(steps[at].source, error.source);
        EXPECT_EQ(steps[at].document, error.description);
        EXPECT_EQ(VARIANT_FALSE, ok);
        EXPECT_EQ(firstRefs[at], first.refs) << "one counted reference, kept until replaced";
    }
    EXPECT_EQ(1u, notAWorkspace->RefCount());
    EXPECT_EQ(2u, second.refs);
    list.reset();
    EXPECT_EQ(1u, second.refs);
}

TEST(QRCTaskList, AggregatedInstanceDelegatesToTheOuterObject) {
    testcom::Fake<testcom::FakeDispatch> outer;
    IUnknown* controlling = static_cast<IDispatch*>(outer.get());
    winkit::ComPtr<IUnknown> inner;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, QRCTaskList::Create(controlling, IID_IQRCTaskList, inner.put_void()));
    ASSERT_EQ(S_OK, QRCTaskList::Create(controlling, IID_IUnknown, inner.put_void()));
    {
        winkit::ComPtr<IQRCTaskList> list;
        ASSERT_EQ(S_OK, inner->QueryInterface(IID_IQRCTaskList, list.put_void()));
        EXPECT_EQ(2u, outer->RefCount()) << "the interface's reference belongs to the outer object";
        winkit::ComPtr<IUnknown> identity;
        list.QueryTo(IID_IUnknown, identity.put_void());
        EXPECT_EQ(controlling, identity.get());
    }
    EXPECT_EQ(1u, outer->RefCount());
    inner.reset();
    EXPECT_EQ(0, winkit::ModuleLock::Count());
}

} // namespace
