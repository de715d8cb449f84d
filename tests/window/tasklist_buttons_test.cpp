// The buttons and the context menu follow the selection, the privileges and the views.
#include "tasklist_window_fixture.h"

namespace {

const std::string kNone = "00000", kAll = "11111", kDeleted = "10001";

void OpenMenu(const CTaskListDlg& dialog, HWND from, POINT at) {
    dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(from), MAKELPARAM(at.x, at.y));
}

} // namespace

// A command whose requests cannot be made: Delete has marked the first task deleted when
// it stops without a refill, Defer and Run refill the rows they could not change (no row
// selected then, the selection mark on row 0). Either way the buttons follow the records
// through the selection changes that come after.
TEST_F(TaskListWindow, ButtonsFollowTheRecordsAfterACommandWhoseRequestsCannotBeMade) {
    RequestScript script;
    workspace->UseScript(script);
    script.createResult = E_FAIL;
    driver.Answer([](const ShownMessageBox& box) { return (box.style & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK; });
    const struct {
        int command;
        std::string afterCommand, firstRowAlone;
        std::vector<int> selectedAfter;
        int markAfter;
    } cases[] = {
        {IDC_TASKLIST_DELETEFROMSERVER, kAll, kAll, {1, 2}, 3},
        {IDC_TASKLIST_DELETE, kDeleted, kDeleted, {1, 2}, 3},
        {IDC_TASKLIST_DEFER, kNone, kAll, {}, 0},
        {IDC_TASKLIST_ACTION, kNone, kAll, {}, 0},
    };
    for (const auto& c : cases) {
        Open([&](CTaskListDlg& dialog) {
            Select(dialog, {1, 2});
            Access::List(dialog).SetSelectionMark(3);
            Command(dialog, c.command);
            EXPECT_EQ(c.selectedAfter, Access::SelectedKeys(dialog)) << c.command;
            EXPECT_EQ(c.markAfter, Access::List(dialog).SelectionMark()) << c.command;
            EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog)) << c.command;
            EXPECT_EQ(c.afterCommand, States(dialog)) << c.command;
            Select(dialog, {1});
            EXPECT_EQ(c.firstRowAlone, States(dialog)) << c.command;
        });
    }
    EXPECT_EQ(0, script.requestsMade);
    ASSERT_EQ(2u, driver.boxes().size());  // the permanent delete's question, Run's count
    EXPECT_EQ(L"2 task(s) have not completed - Check the To Do list.", driver.boxes()[1].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK), driver.boxes()[1].style);
}

// The menu shows the views as loaded; its view items flip their view, refill at once, and
// the views are stored at close.
TEST_F(TaskListWindow, ContextMenuFromMouseAndKeyboardItsViewItemsRefillAndAreStored) {
    store.Set(kOptionsPath, L"ShowDeferred", L"0");
    Open([&](CTaskListDlg& dialog) {
        MenuSpy spy;
        HWND list = Access::List(dialog).hwnd();
        OpenMenu(dialog, list, POINT{40, 60});
        EXPECT_EQ(dialog.hwnd(), spy.owner);
        EXPECT_EQ(L"32770 Properties (grayed)|32769 Settings|-|32773 Deleted Tasks (checked)|"
                  L"32775 Open Tasks (checked)|32774 Deferred Tasks|32772 Completed Tasks (checked)",
                  spy.items);
        // From the keyboard (Shift+F10 in the list or its header) at the selected row.
        Select(dialog, {3});
        Access::List(dialog).Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(-1, -1));
        EXPECT_EQ(0u, spy.items.find(L"32770 Properties|"));
        OpenMenu(dialog, Access::List(dialog).Header().hwnd(), POINT{-1, -1});
        OpenMenu(dialog, dialog.Item(IDC_TASKLIST_REFRESH), POINT{5, 5});  // not for a button
        EXPECT_EQ(3, spy.popupsShown);

        // Which tasks each view lets through is the model's part; here each item refills.
        for (int command : {ID_TASKLIST_OPENTASKS, ID_TASKLIST_DELETEDTASKS}) Command(dialog, command);
        EXPECT_EQ((std::vector<int>{2, 3, 5}), RowKeys(dialog));
        OpenMenu(dialog, list, POINT{1, 1});
        EXPECT_EQ(L"32770 Properties (grayed)|32769 Settings|-|32773 Deleted Tasks|32775 Open Tasks|"
                  L"32774 Deferred Tasks|32772 Completed Tasks (checked)",
                  spy.items);
    });
    EXPECT_EQ(L"0|0|0|1", store.Get(kOptionsPath, L"ShowDeleted") + L"|" + store.Get(kOptionsPath, L"ShowOpen") + L"|" +
                              store.Get(kOptionsPath, L"ShowDeferred") + L"|" +
                              store.Get(kOptionsPath, L"ShowCompleted"));
}

TEST_F(TaskListWindow, DoubleClickAndMenuPropertiesOpenTheSelectedTask) {
    std::wstring names;
    Open([&](CTaskListDlg& dialog) {
        for (int menu = 0; menu < 2; ++menu) {
            Select(dialog, {3});  // "alpha", a Manual task
            WhenDialogShown(L"Task Properties - Manual Task", [&](HWND properties) {
                names += Text(General(properties), IDC_TASKGENERAL_NAME) + L"|";
                Click(properties, IDCANCEL);
            });
            if (menu) Command(dialog, ID_TASKLIST_PROPERTIES);
            else SendNotify(dialog.hwnd(), Access::List(dialog).hwnd(), NM_DBLCLK);
        }
    });
    EXPECT_EQ(L"alpha|alpha|", names);
}
