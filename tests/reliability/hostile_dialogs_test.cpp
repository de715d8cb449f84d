// Hostile documents through the real To Do List: a task list whose keys repeat and skip,
// with privileges that are neither true nor false, and assignments the property dialog
// cannot read, sent back on save as they came.
#include <gtest/gtest.h>
#include "reliability_text.h"
#include "res/taskpropertiesres.h"
#include "support/dialog_driver.h"
#include "support/fake_workspace.h"
#include "support/settings_store.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistdlg.h"

namespace {

class HostileDialogs : public testing::Test {
protected:
    SettingsStore store;  // all views on, the default columns
    testcom::Fake<FakeWorkspace> workspace;
    RequestScript script;

    void SetUp() override { workspace->UseScript(script); }

    // Opens the list on `document` and runs `body` once it is shown; then closes it.
    void Open(const std::wstring& document, const std::function<void(CTaskListDlg&)>& body) {
        script.outputs[L"GetTaskList"] = document;
        DialogDriver driver(60);
        driver.Answer(IDOK);
        CTaskListDlg dialog(workspace.get());
        bool shown = false;
        driver.WhenShown(L"To Do List", [&](HWND window) {
            shown = true;
            body(dialog);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
        EXPECT_TRUE(shown);
    }

    // Opens the properties of an Update task whose assignments are `document`.
    void Properties(const std::wstring& document, const std::function<void(HWND dialog, HWND tree)>& onPage) {
        script.outputs[L"GetTaskAssignments"] = document;
        Open(L"<TaskItemList><Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/><TaskItem ToDo_Index=\"1\" ToDo_Name=\"XV-1\" "
             L"ToDo_Category=\"2\" ToDo_Class=\"Valve\"/></TaskItemList>",
             [&](CTaskListDlg& list) {
                 TaskListDialogAccess::List(list).SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
                 bool shown = false;
                 WhenDialogShown(L"Task Properties - Update Task", [&](HWND dialog) {
                     shown = true;
                     HWND page = PageWith(dialog, IDC_TASKCREATE_PROPERTIES);
                     onPage(dialog, ::GetDlgItem(page, IDC_TASKCREATE_PROPERTIES));
                     if (::IsWindow(dialog)) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                 });
                 ::SendMessageW(list.hwnd(), WM_COMMAND, IDC_TASKLIST_PROPERTIES, 0);
                 EXPECT_TRUE(shown);
             });
    }

    static int RowCount(HWND tree) { return static_cast<int>(::SendMessageW(tree, LVM_GETITEMCOUNT, 0, 0)); }

    // What "SetTaskAssignments" was given, one text per request, in order.
    std::vector<std::wstring> SentAssignments() const {
        std::vector<std::wstring> sent;
        std::wstring method;
        for (const std::wstring& call : script.log->calls) {
            if (call.rfind(L"SetMethod ", 0) == 0) method = call.substr(10);
            if (call.rfind(L"SetInput ", 0) == 0 && method == L"SetTaskAssignments") sent.push_back(call.substr(9));
        }
        return sent;
    }
};

std::wstring TaskLine(int index, const std::wstring& name) {
    return L"<TaskItem ToDo_Index=\"" + std::to_wstring(index) + L"\" ToDo_Name=\"" + name + L"\" ToDo_Category=\"5\"/>";
}

} // namespace

// Each row's key addresses the task the row shows: a later task with a key already taken
// is not listed. Booleans that are neither grant nothing.
TEST_F(HostileDialogs, ListedTasksAreTheOnesTheirKeysAddress) {
    Open(L"<TaskItemList><Privilege Delete=\"maybe\" Run=\"yes\" Defer=\"2\"/>" + TaskLine(3, L"a") + TaskLine(1, L"b") +
             TaskLine(1, L"c") + TaskLine(2, L"d") + L"</TaskItemList>",
         [](CTaskListDlg& dialog) {
             std::wstring rows;
             for (int row = 0; row < TaskListDialogAccess::RowCount(dialog); ++row)
                 rows += std::to_wstring(TaskListDialogAccess::RowKey(dialog, row)) + L" " + TaskListDialogAccess::List(dialog).ItemText(row, 0) + L" " +
                         TaskListDialogAccess::List(dialog).ItemText(row, 12) + L"; ";
             EXPECT_EQ("3 Manual a Open; 1 Manual b Open; 2 Manual d Open; ", Narrow(rows));
             TaskListDialogAccess::List(dialog).SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
             std::string enabled;
             for (int id : {IDC_TASKLIST_ACTION, IDC_TASKLIST_DEFER, IDC_TASKLIST_DELETE, IDC_TASKLIST_DELETEFROMSERVER,
                            IDC_TASKLIST_PROPERTIES})
                 enabled += ::IsWindowEnabled(dialog.Item(id)) ? "1" : "0";
             EXPECT_EQ("10001", enabled) << "Action, Defer, Delete, Delete from server, Properties";
         });
}

TEST_F(HostileDialogs, ASaveSendsAnUnreadableDocumentBackAsItCameAndARebuiltOneWithTheTasksIndex) {
    const std::wstring unreadable = L"<O X=\"1\" N=\"XV-1\"><A I=\"Size\"";
    Properties(unreadable, [](HWND dialog, HWND tree) {
        EXPECT_EQ(0, RowCount(tree));
        HWND notes = ::GetDlgItem(PageWith(dialog, IDC_TASKGENERAL_NOTES), IDC_TASKGENERAL_NOTES);
        ::SetWindowTextW(notes, L"changed");
        ::SendMessageW(::GetParent(notes), WM_COMMAND, MAKEWPARAM(IDC_TASKGENERAL_NOTES, EN_CHANGE),
                       reinterpret_cast<LPARAM>(notes));
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ((std::vector<std::wstring>{unreadable}), SentAssignments());

    script.log->calls.clear();
    // A document numbered for another task goes back numbered for this one.
    Properties(L"<O X=\"77\" U=\"\" I=\"\" N=\"XV-1\" C=\"Valve\"><A I=\"Size\" V=\"1\" O=\"0\" U=\"\" S=\"0\" C=\"0\"/></O>",
               [](HWND dialog, HWND tree) {
                   ASSERT_EQ(1, RowCount(tree));
                   RECT bounds = {LVIR_BOUNDS};
                   ::SendMessageW(tree, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds));
                   NMITEMACTIVATE note = {};
                   note.hdr = {tree, IDC_TASKCREATE_PROPERTIES, static_cast<UINT>(NM_DBLCLK)};
                   note.ptAction = POINT{bounds.left + 60, (bounds.top + bounds.bottom) / 2};  // switches the row's flag
                   ::SendMessageW(::GetParent(tree), WM_NOTIFY, IDC_TASKCREATE_PROPERTIES, reinterpret_cast<LPARAM>(&note));
                   ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    std::vector<std::wstring> sent = SentAssignments();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0u, sent[0].find(L"<O X=\"1\"")) << Narrow(sent[0]);
}
