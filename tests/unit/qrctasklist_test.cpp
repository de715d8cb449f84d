// The To Do list object as a host meets it before the dialog: the checks of Initialize and
// Show. Its late-bound surface is the script client's (tests/install/installed_client.vbs),
// its module lock the exported DllCanUnloadNow's (tests/registration).
#include <gtest/gtest.h>
#include "comidentifiers.h"
#include "diagnostics/hresulttext.h"
#include "support/fake_com.h"
#include "qrctasklist.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"

namespace {

TEST(QRCTaskList, ShowNeedsItsPointerAndAWorkspaceThatInitializeChecks) {
    winkit::ComPtr<IQRCTaskList> list;
    ASSERT_EQ(S_OK, QRCTaskList::Create(nullptr, IID_IQRCTaskList, list.put_void()));
    testcom::Fake<FakeWorkspace> first, second;
    testcom::Fake<testcom::FakeDispatch> notAWorkspace;
    VARIANT_BOOL ok = VARIANT_FALSE;  // each Show is given VARIANT_TRUE to overwrite
    const std::wstring notInitialized = L"<QRError Desc=\"TaskList interface not initialized\" HR=\"E_FAIL\" />";
    const std::wstring invalid = L"<QRError Desc=\"" + HResultMessage(E_INVALIDARG) + L"\" HR=\"E_INVALIDARG\" />";
    // firstRefs: the first workspace gets one counted reference, kept until replaced.
    struct Step { const char* what; std::function<HRESULT()> call; HRESULT hr; const wchar_t* source;
                  std::wstring document; ULONG firstRefs; };
    const Step steps[] = {
        {"no pointer", [&] { return list->Show(0, nullptr); }, E_POINTER, L"QRCTaskList::Show",
         L"<QRError Src=\"QRCTaskList::Show\" HR=\"E_POINTER\" />", 1},
        {"not initialized", [&] { return list->Show(0, &(ok = VARIANT_TRUE)); }, E_FAIL, L"QRCTaskList::Show",
         notInitialized, 1},
        {"null", [&] { return list->Initialize(nullptr); }, E_INVALIDARG, L"QRCTaskList::Initialize", invalid, 1},
        {"not a workspace", [&] { return list->Initialize(notAWorkspace.get()); }, E_INVALIDARG,
         L"QRCTaskList::Initialize", invalid, 1},
        {"a workspace", [&] { return list->Initialize(static_cast<IDispatch*>(first.get())); }, S_OK, L"", L"", 2},
        {"a refused one leaves it", [&] { return list->Initialize(notAWorkspace.get()); }, E_INVALIDARG,
         L"QRCTaskList::Initialize", invalid, 2},
        {"another replaces it", [&] { return list->Initialize(static_cast<IDispatch*>(second.get())); }, S_OK, L"", L"", 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ClearThreadError();
        EXPECT_EQ(step.hr, step.call());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(step.source, error.source);
        EXPECT_EQ(step.document, error.description);
        EXPECT_EQ(VARIANT_FALSE, ok);
        EXPECT_EQ(step.firstRefs, first->RefCount());
    }
    EXPECT_EQ(1u, notAWorkspace->RefCount());
    EXPECT_EQ(2u, second->RefCount());
    list.reset();
    EXPECT_EQ(1u, second->RefCount());
}

} // namespace
