// The context menu: grey Properties, check marks, view toggles; from the mouse and the keyboard.
#include "res/taskpropertiesres.h"
#include "tasklist_window_fixture.h"

namespace {

const ShownMenuItem* FindItem(const std::vector<ShownMenuItem>& items, UINT id) {
    for (const ShownMenuItem& item : items)
        if (item.id == id && !item.separator) return &item;
    return nullptr;
}

void OpenMenu(const CTaskListDlg& dialog, POINT at) {
    dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.List().hwnd()), MAKELPARAM(at.x, at.y));
}

} // namespace

TEST_F(TaskListWindow, ContextMenuItemsAndStates) {
    store.Set(kOptionsPath, L"ShowDeferred", L"0");
    Open([&](CTaskListDlg& dialog) {
        MenuSpy spy;
        OpenMenu(dialog, POINT{40, 60});
        ASSERT_EQ(1, spy.popupsShown);
        EXPECT_EQ(dialog.hwnd(), spy.owner);
        ASSERT_EQ(7u, spy.items.size());
        const wchar_t* texts[] = {L"Properties", L"Settings", L"", L"Deleted Tasks", L"Open Tasks", L"Deferred Tasks",
                                  L"Completed Tasks"};
        UINT ids[] = {32770, 32769, 0, 32773, 32775, 32774, 32772};
        for (size_t i = 0; i < 7; ++i) {
            EXPECT_EQ(texts[i], spy.items[i].text) << i;
            if (i != 2) EXPECT_EQ(ids[i], spy.items[i].id) << i;
        }
        EXPECT_TRUE(spy.items[2].separator);
        EXPECT_TRUE(spy.items[0].grayed);  // nothing selected
        EXPECT_FALSE(spy.items[1].grayed);
        EXPECT_TRUE(FindItem(spy.items, 32773)->checked);
        EXPECT_TRUE(FindItem(spy.items, 32775)->checked);
        EXPECT_FALSE(FindItem(spy.items, 32774)->checked);
        EXPECT_TRUE(FindItem(spy.items, 32772)->checked);

        Select(dialog, {0});
        OpenMenu(dialog, POINT{40, 60});
        ASSERT_EQ(2, spy.popupsShown);
        EXPECT_FALSE(spy.items[0].grayed);
    });
}

TEST_F(TaskListWindow, ContextMenuFromTheKeyboardAndOnlyForTheList) {
    Open([&](CTaskListDlg& dialog) {
        MenuSpy spy;
        Select(dialog, {2});
        dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.List().hwnd()), MAKELPARAM(-1, -1));
        EXPECT_EQ(1, spy.popupsShown);
        EXPECT_FALSE(spy.items[0].grayed);
        // The header belongs to the list; a button does not.
        dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.List().Header().hwnd()), MAKELPARAM(-1, -1));
        EXPECT_EQ(2, spy.popupsShown);
        dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.Item(IDC_TASKLIST_REFRESH)), MAKELPARAM(5, 5));
        EXPECT_EQ(2, spy.popupsShown);
        // Shift+F10 in the list reaches the dialog as such a message.
        dialog.List().Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.List().hwnd()), MAKELPARAM(-1, -1));
        EXPECT_EQ(3, spy.popupsShown);
    });
}

TEST_F(TaskListWindow, ViewItemsFlipTheirViewAndRefillAtOnce) {
    // Rows: 1 Open, 2 InProgress, 3 Completed, 4 Deferred, 5 Error, 6 Completed + deleted.
    Open([&](CTaskListDlg& dialog) {
        Command(dialog, ID_TASKLIST_OPENTASKS);
        EXPECT_EQ(0, dialog.Views().ShowOpen);
        EXPECT_EQ((std::vector<int>{2, 3, 4, 5, 6}), RowKeys(dialog));
        Command(dialog, ID_TASKLIST_DEFERREDTASKS);
        EXPECT_EQ((std::vector<int>{2, 3, 5, 6}), RowKeys(dialog));
        Command(dialog, ID_TASKLIST_COMPLETEDTASKS);
        // InProgress and Error stay whatever the views say.
        EXPECT_EQ((std::vector<int>{2, 5}), RowKeys(dialog));
        Command(dialog, ID_TASKLIST_COMPLETEDTASKS);
        Command(dialog, ID_TASKLIST_DELETEDTASKS);
        EXPECT_EQ((std::vector<int>{2, 3, 5}), RowKeys(dialog));
        EXPECT_EQ(0, dialog.Views().ShowDeleted);
        EXPECT_EQ(1, dialog.Views().ShowCompleted);

        MenuSpy spy;
        dialog.Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog.List().hwnd()), MAKELPARAM(1, 1));
        EXPECT_FALSE(FindItem(spy.items, ID_TASKLIST_DELETEDTASKS)->checked);
        EXPECT_FALSE(FindItem(spy.items, ID_TASKLIST_OPENTASKS)->checked);
        EXPECT_FALSE(FindItem(spy.items, ID_TASKLIST_DEFERREDTASKS)->checked);
        EXPECT_TRUE(FindItem(spy.items, ID_TASKLIST_COMPLETEDTASKS)->checked);
    });
    // The views are stored when the dialog closes.
    EXPECT_EQ(L"0", store.Get(kOptionsPath, L"ShowDeleted"));
    EXPECT_EQ(L"0", store.Get(kOptionsPath, L"ShowOpen"));
    EXPECT_EQ(L"0", store.Get(kOptionsPath, L"ShowDeferred"));
    EXPECT_EQ(L"1", store.Get(kOptionsPath, L"ShowCompleted"));
}

TEST_F(TaskListWindow, ADeletedCompletedTaskNeedsBothViews) {
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(6, dialog.List().ItemImage(5) == kImageDeleted ? dialog.RowKey(5) : -1);
        Command(dialog, ID_TASKLIST_DELETEDTASKS);
        EXPECT_EQ(-1, dialog.FindRow(6));
        Command(dialog, ID_TASKLIST_DELETEDTASKS);
        Command(dialog, ID_TASKLIST_COMPLETEDTASKS);
        EXPECT_EQ(-1, dialog.FindRow(6));
        EXPECT_EQ(-1, dialog.FindRow(3));
    });
}

// A double click on a row and the menu's Properties both open the selected task.
TEST_F(TaskListWindow, DoubleClickAndMenuPropertiesOpenTheSelectedTask) {
    const std::function<void(CTaskListDlg&)> ways[] = {
        [](CTaskListDlg& dialog) { SendNotify(dialog.hwnd(), dialog.List().hwnd(), NM_DBLCLK); },
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
