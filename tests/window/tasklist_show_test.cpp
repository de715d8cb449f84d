// Show runs the real dialog: VARIANT_TRUE only for OK, and failures inside the dialog
// (a settings store that fails) end it and come back as Show's HRESULT with its document.
#include <gtest/gtest.h>
#include "qrctasklist.h"
#include "support/dialog_driver.h"
#include "support/errorinfo_helpers.h"
#include "support/settings_store.h"
#include "support/fake_workspace.h"
#include "winkit/com_ptr.h"
#include "winkit/module_lock.h"

namespace {

class TaskListShow : public testing::Test {
protected:
    SettingsStore store;
    testcom::Fake<FakeWorkspace> workspace;
    DialogDriver driver;
    winkit::ComPtr<IQRCTaskList> list;

    void SetUp() override {
        ASSERT_EQ(S_OK, QRCTaskList::Create(nullptr, IID_IQRCTaskList, list.put_void()));
        ASSERT_EQ(S_OK, list->Initialize(static_cast<IDispatch*>(workspace.get())));
    }

    // Show, with `action` run on the dialog once it is shown.
    HRESULT Show(VARIANT_BOOL& ok, std::function<void(HWND)> action, HWND parent = nullptr) {
        WhenDialogShown(L"To Do List", std::move(action));
        ok = 12345;
        return list->Show(static_cast<long>(reinterpret_cast<LONG_PTR>(parent)), &ok);
    }
};

} // namespace

// VARIANT_TRUE only for OK. The dialog is owned by the parent given; without one the
// desktop is given as the owner, which owns no window: only the creation shows it. Every
// way out stores the settings.
namespace {

HWND createdUnder;

LRESULT CALLBACK NoteListOwner(int code, WPARAM wparam, LPARAM lparam) {
    auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lparam);
    if (code == HCBT_CREATEWND && create->lpcs->lpszName && !IS_INTRESOURCE(create->lpcs->lpszName) &&
        std::wstring(create->lpcs->lpszName) == L"To Do List")
        createdUnder = create->lpcs->hwndParent;
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

} // namespace

TEST_F(TaskListShow, TrueOnlyForOKOwnedByTheParentGivenOrTheDesktopEveryWayOutStores) {
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, NoteListOwner, nullptr, ::GetCurrentThreadId());
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const struct {
        HWND given;
        UINT message;
        WPARAM command;
        VARIANT_BOOL ok;
    } cases[] = {{parent, WM_COMMAND, IDOK, VARIANT_TRUE},
                 {nullptr, WM_COMMAND, IDCANCEL, VARIANT_FALSE},
                 {nullptr, WM_SYSCOMMAND, SC_CLOSE, VARIANT_FALSE}};
    for (const auto& c : cases) {
        HWND owner = reinterpret_cast<HWND>(-1);
        createdUnder = reinterpret_cast<HWND>(-1);
        store.Clear();
        VARIANT_BOOL ok;
        EXPECT_EQ(S_OK, Show(ok, [&](HWND w) {
            owner = ::GetWindow(w, GW_OWNER);
            ::SendMessageW(w, c.message, c.command, 0);
        }, c.given)) << c.command;
        EXPECT_EQ(c.ok, ok) << c.command;
        EXPECT_EQ(c.given, owner);
        EXPECT_EQ(c.given ? c.given : ::GetDesktopWindow(), createdUnder);
        EXPECT_EQ(L"1|Task Status|100", store.Get(kOptionsPath, L"ShowDeleted") + L"|" +
                                             store.Get(ColumnPath(12), L"Name") + L"|" + store.Get(ColumnPath(13), L"Width"))
            << c.command;
    }
    ::UnhookWindowsHookEx(hook);
    ::DestroyWindow(parent);
}

// A host that re-enters while the list is shown: when the fetch asks for its request, it
// gives the list another workspace and lets go of its last reference to the list. The
// dialog still has both until it ends; then both are let go.
TEST_F(TaskListShow, ARehostingHostDuringTheDialogFreesNothingInUse) {
    testcom::Fake<FakeWorkspace> other;
    ULONG refsDuringDialog = 0;
    LONG objectsDuringDialog = -1;
    const LONG objectsBefore = winkit::ModuleLock::Count();
    workspace->makeRequest = [&](IServiceRequest** out) {
        *out = nullptr;
        if (list) {
            EXPECT_EQ(S_OK, list->Initialize(static_cast<IDispatch*>(other.get())));
            list.reset();
            refsDuringDialog = workspace->RefCount();
            objectsDuringDialog = winkit::ModuleLock::Count();
        }
        return E_FAIL;
    };
    IQRCTaskList* shown = list.get();
    WhenDialogShown(L"To Do List", [](HWND w) { ::SendMessageW(w, WM_COMMAND, IDCANCEL, 0); });
    VARIANT_BOOL ok;
    EXPECT_EQ(S_OK, shown->Show(0, &ok));
    EXPECT_GT(refsDuringDialog, 1u) << "the workspace in use was let go";
    EXPECT_EQ(objectsBefore, objectsDuringDialog) << "the list object was destroyed while showing";
    EXPECT_EQ(objectsBefore - 1, winkit::ModuleLock::Count());
    EXPECT_EQ(1u, workspace->RefCount());
    EXPECT_EQ(1u, other->RefCount());
}

// A store failing at open ends the dialog before it shows; at close, after OK, it is not
// reported as OK, and what was written before stays.
TEST_F(TaskListShow, AStoreFailingAtOpenOrCloseEndsTheDialogAndShowReportsIt) {
    const struct {
        const wchar_t *call, *failure;
        HRESULT result;
        bool shown;
    } cases[] = {
        {L"GetSettingsRoot", L"injected failure at IGlobals::GetSettingsRoot", E_ACCESSDENIED, false},
        {L"SetValue QRClientTools/ToDoListSettings/Columns/3 Name=Created Date",
         L"injected failure at ISettingsNode::SetValue", DISP_E_EXCEPTION, true},
    };
    for (const auto& c : cases) {
        store.Clear();
        store.Fail(c.call, c.result);
        bool shown = false;
        VARIANT_BOOL ok;
        ClearThreadError();
        EXPECT_EQ(c.result, Show(ok, [&](HWND w) {
            shown = true;
            ::SendMessageW(w, WM_COMMAND, IDOK, 0);
        }));
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(VARIANT_FALSE, ok);
        ThreadError error = TakeThreadError();
        ASSERT_TRUE(error.present);
        EXPECT_EQ(L"QRCTaskList::Show", error.source);
        EXPECT_EQ(0u, error.description.find(L"<QRError")) << testing::PrintToString(error.description);
        EXPECT_NE(std::wstring::npos, error.description.find(c.failure)) << testing::PrintToString(error.description);
        EXPECT_EQ(c.shown ? L"Task Name" : L"(absent)", store.Get(ColumnPath(0), L"Name"));
        EXPECT_EQ(L"(absent)", store.Get(ColumnPath(3), L"Name"));
        EXPECT_EQ(1u, workspace->RefCount() - 1);  // only the object's own reference remains
    }
}
