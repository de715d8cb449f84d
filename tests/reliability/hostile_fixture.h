#pragma once
// What the hostile-document suites share: the real To Do List over a workspace whose
// requests answer with the documents under test, and reading back what it lists.
#include <gtest/gtest.h>
#include <chrono>
#include <functional>
#include <string>
#include <vector>
#include "support/canary_file.h"
#include "support/dialog_driver.h"
#include "support/errorinfo_helpers.h"
#include "support/settings_store.h"
#include "support/fake_workspace.h"
#include "support/hostile_documents.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistdlg.h"

// One row as the list shows it: its key, its "Task Name" and "Task Status" texts.
struct ListedRow {
    int key;
    std::wstring name;
    std::wstring status;
    bool operator==(const ListedRow& other) const {
        return key == other.key && name == other.name && status == other.status;
    }
};

inline std::ostream& operator<<(std::ostream& out, const ListedRow& row) {
    return out << "{" << row.key << ", " << testing::PrintToString(row.name) << ", "
               << testing::PrintToString(row.status) << "}";
}

// A TaskItem line of a manual task.
inline std::wstring TaskLine(int index, const std::wstring& name, const std::wstring& more = L"") {
    return L"<TaskItem ToDo_Index=\"" + std::to_wstring(index) + L"\" ToDo_Name=\"" + name + L"\" ToDo_Category=\"5\"" +
           (more.empty() ? L"" : L" " + more) + L"/>\n";
}

inline constexpr const wchar_t* kAllPrivileges = L"<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>\n";

class HostileListTest : public testing::Test {
protected:
    SettingsStore store;  // all views on, the default columns
    testcom::Fake<FakeWorkspace> workspace;
    RequestScript script;

    void SetUp() override {
        workspace->UseScript(script);
        ClearThreadError();
    }

    // Opens the list with `document` as the answer to GetTaskList and runs `body` once
    // it is shown; the dialog is then closed. Fails when opening takes over `seconds`.
    void Open(const std::wstring& document, const std::function<void(CTaskListDlg&)>& body, double seconds = 30) {
        script.outputs[L"GetTaskList"] = document;
        DialogDriver driver(static_cast<UINT>(seconds) + 60);
        driver.Answer(IDOK);
        CTaskListDlg dialog(workspace.get());
        bool shown = false;
        auto start = std::chrono::steady_clock::now();
        driver.WhenShown(L"To Do List", [&](HWND window) {
            shown = true;
            double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            EXPECT_LT(took, seconds) << "opening took " << took << " s";
            body(dialog);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
        EXPECT_TRUE(shown);
    }

    static std::vector<ListedRow> Rows(const CTaskListDlg& dialog) {
        std::vector<ListedRow> rows;
        for (int row = 0; row < TaskListDialogAccess::RowCount(dialog); ++row)
            rows.push_back({TaskListDialogAccess::RowKey(dialog, row), TaskListDialogAccess::List(dialog).ItemText(row, 0), TaskListDialogAccess::List(dialog).ItemText(row, 12)});
        return rows;
    }

    static void Select(const CTaskListDlg& dialog, std::initializer_list<int> rows) {
        TaskListDialogAccess::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
        for (int row : rows) TaskListDialogAccess::List(dialog).SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }

    static bool Enabled(const CTaskListDlg& dialog, int id) { return ::IsWindowEnabled(dialog.Item(id)) != FALSE; }

    // The requests that reached Execute, by method, in order (GetTaskList left out).
    std::vector<std::wstring> ExecutedMethods() const {
        std::vector<std::wstring> methods;
        std::wstring method;
        for (const std::wstring& call : script.log->calls) {
            if (call.rfind(L"SetMethod ", 0) == 0) method = call.substr(10);
            if (call.rfind(L"Execute", 0) == 0 && method != L"GetTaskList") methods.push_back(method);
        }
        return methods;
    }
};
