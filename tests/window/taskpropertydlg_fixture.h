#pragma once
// What the property dialog's window tests share.
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "support/dialog_driver.h"
#include "taskitemcollection.h"
#include "taskpropertydlg.h"
#include "taskpropertyowner.h"

inline TaskItem MakeTask(int index, int category, int status, std::wstring name,
                         std::wstring created = L"12/1/2026 9:00:00 AM", int deleted = 0) {
    TaskItem task;
    task.ToDo_Index = index;
    task.ToDo_Category = category;
    task.ToDo_Status = status;
    task.ToDo_Name = std::move(name);
    task.ToDo_Description = L"described " + task.ToDo_Name;
    task.ToDo_Notes = L"notes of " + task.ToDo_Name;
    task.ToDo_Class = L"class of " + task.ToDo_Name;
    task.ToDo_SrcDocType = L"type of " + task.ToDo_Name;
    task.ToDo_SrcDocName = L"document of " + task.ToDo_Name;
    task.ToDo_EngineeringTool = L"tool never shown";
    task.ToDo_CreatedBy = L"creator";
    task.ToDo_CreatedDate = std::move(created);
    task.ToDo_DeletedFlag = deleted;
    task.ToDo_RunBy = L"runner";
    return task;
}

inline std::wstring Text(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }
inline bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
// The controls' texts, "|" between them; their states, "1" enabled and "0" not.
inline std::wstring Texts(HWND dialog, std::initializer_list<int> ids) {
    std::wstring texts;
    for (int id : ids) texts += (id == *ids.begin() ? L"" : L"|") + Text(dialog, id);
    return texts;
}
inline std::string EnabledStates(HWND dialog, std::initializer_list<int> ids) {
    std::string states;
    for (int id : ids) states += Enabled(dialog, id) ? '1' : '0';
    return states;
}
// Shift and Ctrl held down, or not, in the thread's key state, as the next key reads them.
inline void Hold(bool shift, bool ctrl) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    ::SetKeyboardState(state);
}
// The property dialog's pages, found by a control of theirs.
inline HWND General(HWND dialog) { return PageWith(dialog, IDC_TASKGENERAL_NAME); }
inline HWND Details(HWND dialog) { return PageWith(dialog, IDC_TASKDETAILS_SOURCETAG); }

// The user picks a tab: the control asks, changes, then tells.
inline void PickTab(HWND dialog, int index) {
    HWND tabs = ::GetDlgItem(dialog, IDC_TASKPROPERTIES_TABS);
    SendNotify(dialog, tabs, static_cast<UINT>(TCN_SELCHANGING));
    ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendNotify(dialog, tabs, static_cast<UINT>(TCN_SELCHANGE));
}

// The tab titles, left to right, "|" between them.
inline std::wstring TabTitles(HWND dialog, int tabsId) {
    HWND tabs = ::GetDlgItem(dialog, tabsId);
    std::wstring titles;
    for (int i = 0, n = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)); i < n; ++i) {
        wchar_t text[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        ::SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        titles += (i ? L"|" : L"") + std::wstring(text);
    }
    return titles;
}

// The property dialog's owner: the row questions follow a list of keys, the task
// operations are recorded as "Save 1|name|description|status|notes|assignments",
// "Run 1", "Defer 1", "Fetch 1" and answered by the functions below.
class RecordingOwner : public TaskPropertyOwner {
public:
    std::vector<int> rows;
    std::vector<std::wstring> calls;
    std::function<RunOutcome(int)> run = [](int) { return RunOutcome::Completed(); };
    std::function<bool(int)> defer = [](int) { return true; };
    std::function<void()> onSave = [] {};
    std::vector<std::pair<int, std::wstring>> documents;  // served by index; others untouched

    bool IsFirstRow(int key) const override { return Position(key) == 0; }
    bool IsLastRow(int key) const override { return Position(key) + 1 == static_cast<long>(rows.size()); }
    int PreviousKey(int key) const override { return Position(key) > 0 ? rows[Position(key) - 1] : -1; }
    int NextKey(int key) const override {
        long at = Position(key);
        return at >= 0 && at + 1 < static_cast<long>(rows.size()) ? rows[at + 1] : -1;
    }
    void SaveTaskProperties(const TaskPropertyValues& v) override {
        calls.push_back(L"Save " + Describe(v));
        onSave();
    }
    RunOutcome RunTaskItem(int index) override {
        calls.push_back(L"Run " + std::to_wstring(index));
        return run(index);
    }
    bool DeferTaskItem(int index) override {
        calls.push_back(L"Defer " + std::to_wstring(index));
        return defer(index);
    }
    void FetchTaskAssignments(int index, winkit::UniqueBstr& document) override {
        calls.push_back(L"Fetch " + std::to_wstring(index));
        for (const auto& [served, text] : documents)
            if (served == index) document = winkit::UniqueBstr::Copy(text);
    }

    static std::wstring Describe(const TaskPropertyValues& v) {
        return std::to_wstring(v.index) + L"|" + v.name + L"|" + v.description + L"|" + std::to_wstring(v.status) +
               L"|" + v.notes + L"|" + v.assignments;
    }

private:
    long Position(int key) const {
        auto it = std::find(rows.begin(), rows.end(), key);
        return it == rows.end() ? -1 : static_cast<long>(it - rows.begin());
    }
};

class TaskPropertyDlgTest : public testing::Test {
protected:
    // The tasks, listed in their order unless rows are given.
    void SetTasks(std::vector<TaskItem> items, bool run = true, bool defer = true) {
        tasks.Items() = std::move(items);
        tasks.Run = run;
        tasks.Defer = defer;
        owner.rows.clear();
        for (const TaskItem& task : tasks.Items()) owner.rows.push_back(task.ToDo_Index);
    }

    // Shows the dialog on the task of the key (0: a new task) modally; the script runs
    // once it is up under the expected title and must end it. Message boxes are answered
    // from `answers` in turn and must be the save question.
    INT_PTR Run(int key, const std::wstring& title, std::function<void(HWND)> script, std::vector<int> answers = {}) {
        dialog = std::make_unique<CTaskPropertyDlg>(owner, key ? &tasks : nullptr, key);
        DialogDriver driver(20);
        driver.Answer([&answers](const ShownMessageBox& box) {
            EXPECT_EQ(L"To Do List", box.title);
            EXPECT_EQ(L"You have made changes to this task.\nDo you wish to save these changes?", box.text);
            EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), box.style);
            EXPECT_FALSE(answers.empty()) << "a message box not expected";
            int answer = answers.empty() ? IDCANCEL : answers.front();
            if (!answers.empty()) answers.erase(answers.begin());
            return answer;
        });
        WhenDialogShown(title, std::move(script));
        INT_PTR code = dialog->DoModal(nullptr);
        EXPECT_TRUE(answers.empty()) << answers.size() << " question(s) not asked";
        return code;
    }

    TaskItemCollection tasks;
    RecordingOwner owner;
    std::unique_ptr<CTaskPropertyDlg> dialog;
};
