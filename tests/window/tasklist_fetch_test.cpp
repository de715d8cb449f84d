// The task list comes from the framework: one "GetTaskList" request at open and at each
// Refresh, its document parsed into the rows; a failed fetch keeps what was listed.
#include "tasklist_window_fixture.h"

namespace {

const wchar_t* const kDocument =
    L"<TaskItemList>\n"
    L"<Privilege Delete=\"1\" Run=\"0\" Defer=\"1\"/>\n"
    L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"pump P-101A\" ToDo_Category=\"0\" ToDo_Status=\"0\" ToDo_ItemName=\"P-101A\"/>\n"
    L"<TaskItem ToDo_Index=\"2\" ToDo_Name=\"Check seals\" ToDo_Description=\"Look at the seals\" ToDo_Category=\"5\" "
    L"ToDo_Status=\"4\" ToDo_CreatedDate=\"2026-11-30 08:15:00\"/>\n"
    L"<TaskItem ToDo_Index=\"3\" ToDo_Name=\"line 0101\" ToDo_Category=\"9\" ToDo_Status=\"7\" ToDo_DeletedFlag=\"0\"/>\n"
    L"</TaskItemList>\n";

const std::vector<std::wstring> kFetchCalls = {
    L"SetFlags 0", L"SetComponent QRDBEFrameworkSvcs.Main", L"SetMethod GetTaskList", L"Execute 0", L"GetOutput",
    L"(released)",
};

class TaskListFetch : public TaskListWindow {
protected:
    RequestScript script;
    void SetUp() override {
        tasks.clear();
        runPrivilege = deferPrivilege = deletePrivilege = false;
        script.outputs[L"GetTaskList"] = kDocument;
        workspace->UseScript(script);
    }
};

} // namespace

TEST_F(TaskListFetch, OpeningFetchesParsesAndFills) {
    Open([&](CTaskListDlg& dialog) {
        EXPECT_EQ(kFetchCalls, script.log->calls);
        EXPECT_EQ((std::vector<int>{1, 2, 3}), RowKeys(dialog));
        EXPECT_EQ(L"Create pump P-101A", dialog.List().ItemText(0, 0));
        EXPECT_EQ(L"Look at the seals", dialog.List().ItemText(1, 1));
        // Codes outside the tables show as numbers; the picture is the blank one.
        EXPECT_EQ(L"9 line 0101", dialog.List().ItemText(2, 0));
        EXPECT_EQ(L"7", dialog.List().ItemText(2, 12));
        EXPECT_EQ(kImageBlank, dialog.List().ItemImage(2));
        EXPECT_EQ(4, dialog.List().ItemImage(1));
        // The document's privileges: Delete and Defer, not Run.
        Select(dialog, {0});
        EXPECT_FALSE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_ACTION)));
        EXPECT_TRUE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_DEFER)));
        EXPECT_TRUE(::IsWindowEnabled(dialog.Item(IDC_TASKLIST_DELETE)));
    });
}

TEST_F(TaskListFetch, RefreshFetchesAgainAndShowsTheNewList) {
    Open([&](CTaskListDlg& dialog) {
        script.log->calls.clear();
        script.outputs[L"GetTaskList"] =
            L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Name=\"only\" ToDo_Category=\"5\"/></TaskItemList>";
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(kFetchCalls, script.log->calls);
        EXPECT_EQ((std::vector<int>{1}), RowKeys(dialog));
        EXPECT_EQ(L"Manual only", dialog.List().ItemText(0, 0));
    });
}

TEST_F(TaskListFetch, AFailedFetchKeepsTheTasksListed) {
    Open([&](CTaskListDlg& dialog) {
        script.executeResults[L"GetTaskList"] = E_FAIL;
        script.log->calls.clear();
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ((std::vector<std::wstring>{L"SetFlags 0", L"SetComponent QRDBEFrameworkSvcs.Main",
                                             L"SetMethod GetTaskList", L"Execute 0", L"(released)"}),
                  script.log->calls);
        EXPECT_EQ((std::vector<int>{1, 2, 3}), RowKeys(dialog));
        script.executeResults.clear();
        script.createResult = E_OUTOFMEMORY;
        Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
        EXPECT_EQ(3, dialog.RowCount());
    });
}
