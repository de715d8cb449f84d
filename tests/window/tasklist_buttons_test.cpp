// The buttons and the context menu follow the selection, the privileges and the views.
#include "res/taskpropertiesres.h"
#include "tasklist_window_fixture.h"

namespace {

const std::string kNone = "00000", kAll = "11111", kDeleted = "10001";

HBITMAP Picture(const CTaskListDlg& dialog, int id) {
    return reinterpret_cast<HBITMAP>(::SendMessageW(dialog.Item(id), BM_GETIMAGE, IMAGE_BITMAP, 0));
}

// "32770 Properties (grayed)|-|...", a separator as "-".
std::wstring MenuText(const std::vector<ShownMenuItem>& items) {
    std::wstring text;
    for (const ShownMenuItem& item : items) {
        if (!text.empty()) text += L"|";
        if (item.separator) {
            text += L"-";
            continue;
        }
        text += std::to_wstring(item.id) + L" " + item.text + (item.grayed ? L" (grayed)" : L"") +
                (item.checked ? L" (checked)" : L"");
    }
    return text;
}

void OpenMenu(const CTaskListDlg& dialog, HWND from, POINT at) {
    dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(from), MAKELPARAM(at.x, at.y));
}

} // namespace

// Rows: 0 Open, 1 InProgress, 2 Completed, 3 Deferred, 4 Error, 5 Completed + deleted.
TEST_F(TaskListWindow, ButtonsFollowTheSelectionAndThePrivileges) {
    const struct {
        std::initializer_list<int> rows;
        bool run, defer, remove;
        std::string expected;
    } cases[] = {
        {{}, true, true, true, kNone},
        {{0}, true, true, true, kAll},
        {{1}, true, true, true, kAll},
        {{4}, true, true, true, kAll},
        {{0, 2}, true, true, true, "10011"},  // an Open and a Completed task
        {{3}, true, true, true, "10111"},      // a deferred task may be deferred again
        {{5}, true, true, true, kDeleted},                             // deleted: only the permanent delete
        {{0, 5}, true, true, true, kDeleted},
        {{0}, false, false, false, "10000"},
        {{0}, true, false, false, "11000"},
        {{0}, false, true, false, "10100"},
        {{0}, false, false, true, "10011"},
        {{1, 4}, false, true, true, "10111"},
    };
    for (const auto& c : cases) {
        runPrivilege = c.run, deferPrivilege = c.defer, deletePrivilege = c.remove;
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, c.rows);
            EXPECT_EQ(c.expected, States(dialog))
                << "rows " << testing::PrintToString(std::vector<int>(c.rows)) << " run " << c.run << " defer "
                << c.defer << " delete " << c.remove;
        });
    }
}

// Properties, Delete and Permanently delete show a picture of their own while disabled;
// a fill leaves nothing selected, and the buttons follow.
TEST_F(TaskListWindow, ThreeButtonsChangeTheirPictureWithTheirState) {
    Open([&](CTaskListDlg& dialog) {
        const int ids[] = {256, 257, 252, 260, 253, 254, 255, 259};
        std::vector<HBITMAP> atOpen;
        for (int id : ids) atOpen.push_back(Picture(dialog, id));
        auto changed = [&] {  // per button: "1" another picture than at open, "?" none
            std::string marks;
            for (size_t i = 0; i < atOpen.size(); ++i)
                marks += !Picture(dialog, ids[i]) ? '?' : Picture(dialog, ids[i]) != atOpen[i] ? '1' : '0';
            return marks;
        };
        Select(dialog, {0});
        EXPECT_EQ("01000011", changed());
        Select(dialog, {});
        EXPECT_EQ("00000000", changed());
        Select(dialog, {0});
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(0, Access::List(dialog).SelectedCount());
        EXPECT_EQ(kNone, States(dialog));
        EXPECT_EQ("00000000", changed());
    });
}

TEST_F(TaskListWindow, RowsWhoseKeyNamesNoTaskCountForNothing) {
    Open([&](CTaskListDlg& dialog) {
        // The collection changes under the rows: task 1 is gone, task 3 moves to position 0.
        std::vector<TaskItem>& items = Access::Tasks(dialog).Items();
        items.erase(items.begin(), items.begin() + 2);
        EXPECT_EQ(nullptr, Access::RowTask(dialog, 0));
        ASSERT_NE(nullptr, Access::RowTask(dialog, 2));
        EXPECT_EQ(3, Access::RowTask(dialog, 2)->ToDo_Index);  // found by its key, not by position
        Select(dialog, {0});
        EXPECT_EQ(kNone, States(dialog));
        Select(dialog, {0, 3});  // the row without a task does not spoil the deferred one
        EXPECT_EQ("10111", States(dialog));
    });
}

// A command whose requests cannot be made: Delete has marked the first task deleted when
// it stops without a refill, Defer and Run refill the rows they could not change. Either
// way the buttons follow the records through the selection changes that come after.
TEST_F(TaskListWindow, ButtonsFollowTheRecordsAfterACommandWhoseRequestsCannotBeMade) {
    RequestScript script;
    workspace->UseScript(script);
    script.createResult = E_FAIL;
    driver.Answer([](const ShownMessageBox& box) { return (box.style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK; });
    const struct {
        int command;
        std::string afterCommand, firstRowAlone;
        std::vector<int> selectedAfter;
    } cases[] = {
        {IDC_TASKLIST_DELETEFROMSERVER, kAll, kAll, {1, 2}},
        {IDC_TASKLIST_DELETE, kDeleted, kDeleted, {1, 2}},
        {IDC_TASKLIST_DEFER, kNone, kAll, {}},
        {IDC_TASKLIST_ACTION, kNone, kAll, {}},
    };
    for (const auto& c : cases) {
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {0, 1});
            Command(dialog, c.command);
            EXPECT_EQ(c.selectedAfter, Access::SelectedKeys(dialog)) << c.command;
            EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog)) << c.command;
            EXPECT_EQ(c.afterCommand, States(dialog)) << c.command;
            Select(dialog, {0});
            EXPECT_EQ(c.firstRowAlone, States(dialog)) << c.command;
        });
    }
    EXPECT_EQ(0, script.requestsMade);
    ASSERT_EQ(2u, driver.boxes().size());  // the permanent delete's question, Run's count
    EXPECT_EQ(L"2 task(s) have not completed - Check the To Do list.", driver.boxes()[1].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), driver.boxes()[1].style);
}

TEST_F(TaskListWindow, ContextMenuItemsAndStatesFromMouseAndKeyboard) {
    store.Set(kOptionsPath, L"ShowDeferred", L"0");
    Open([&](CTaskListDlg& dialog) {
        MenuSpy spy;
        HWND list = Access::List(dialog).hwnd();
        OpenMenu(dialog, list, POINT{40, 60});
        EXPECT_EQ(dialog.hwnd(), spy.owner);
        EXPECT_EQ(L"32770 Properties (grayed)|32769 Settings|-|32773 Deleted Tasks (checked)|"
                  L"32775 Open Tasks (checked)|32774 Deferred Tasks|32772 Completed Tasks (checked)",
                  MenuText(spy.items));
        // From the keyboard (Shift+F10 in the list or its header) at the selected row.
        Select(dialog, {2});
        Access::List(dialog).Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
        EXPECT_EQ(0u, MenuText(spy.items).find(L"32770 Properties|"));
        OpenMenu(dialog, Access::List(dialog).Header().hwnd(), POINT{-1, -1});
        OpenMenu(dialog, dialog.Item(IDC_TASKLIST_REFRESH), POINT{5, 5});  // not for a button
        EXPECT_EQ(3, spy.popupsShown);
    });
}

TEST_F(TaskListWindow, ViewItemsFlipTheirViewRefillAtOnceAndAreStored) {
    Open([&](CTaskListDlg& dialog) {
        const struct {
            int command;
            std::vector<int> keys;
        } steps[] = {
            {ID_TASKLIST_OPENTASKS, {2, 3, 4, 5, 6}},
            {ID_TASKLIST_DEFERREDTASKS, {2, 3, 5, 6}},
            {ID_TASKLIST_COMPLETEDTASKS, {2, 5}},  // InProgress and Error stay whatever the views say
            {ID_TASKLIST_COMPLETEDTASKS, {2, 3, 5, 6}},
            {ID_TASKLIST_DELETEDTASKS, {2, 3, 5}},
            {ID_TASKLIST_COMPLETEDTASKS, {2, 5}},
            {ID_TASKLIST_DELETEDTASKS, {2, 5}},  // deleted and completed needs both views
            {ID_TASKLIST_COMPLETEDTASKS, {2, 3, 5, 6}},
            {ID_TASKLIST_DELETEDTASKS, {2, 3, 5}},
        };
        for (const auto& step : steps) {
            Command(dialog, step.command);
            EXPECT_EQ(step.keys, RowKeys(dialog)) << step.command;
        }
        MenuSpy spy;
        OpenMenu(dialog, Access::List(dialog).hwnd(), POINT{1, 1});
        EXPECT_EQ(L"32770 Properties (grayed)|32769 Settings|-|32773 Deleted Tasks|32775 Open Tasks|"
                  L"32774 Deferred Tasks|32772 Completed Tasks (checked)",
                  MenuText(spy.items));
    });
    EXPECT_EQ(L"0", store.Get(kOptionsPath, L"ShowDeleted"));
    EXPECT_EQ(L"0", store.Get(kOptionsPath, L"ShowOpen"));
    EXPECT_EQ(L"0", store.Get(kOptionsPath, L"ShowDeferred"));
    EXPECT_EQ(L"1", store.Get(kOptionsPath, L"ShowCompleted"));
}

// A double click on a row and the menu's Properties both open the selected task.
TEST_F(TaskListWindow, DoubleClickAndMenuPropertiesOpenTheSelectedTask) {
    const std::function<void(CTaskListDlg&)> ways[] = {
        [](CTaskListDlg& dialog) { SendNotify(dialog.hwnd(), Access::List(dialog).hwnd(), NM_DBLCLK); },
        [](CTaskListDlg& dialog) { Command(dialog, ID_TASKLIST_PROPERTIES); },
    };
    for (const auto& open : ways) {
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {2});  // task 3, "alpha", a Manual task
            std::wstring name;
            WhenDialogShown(L"Task Properties - Manual Task", [&](HWND properties) {
                name = WindowText(::GetDlgItem(PageWith(properties, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NAME));
                Click(properties, IDCANCEL);
            });
            open(dialog);
            EXPECT_EQ(L"alpha", name);
        });
    }
}
