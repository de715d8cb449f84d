#pragma once
// What the property dialog's window tests share: tasks, typing, tabs, message boxes,
// and a fixture that shows the dialog over a mocked owner.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "mock_taskpropertyowner.h"
#include "support/dialog_driver.h"
#include "taskpropertydlg.h"

inline TaskItem MakeTask(int index, int category, int status, std::wstring name) {
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
    task.ToDo_CreatedDate = L"12/1/2026 9:00:00 AM";
    task.ToDo_RunBy = L"runner";
    return task;
}

inline std::wstring Text(HWND window) { return WindowText(window); }
inline std::wstring Text(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }
inline bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

// Typing over the whole text: multi-line edits report no change for WM_SETTEXT, only
// for what the user enters.
inline void Type(HWND page, int id, const wchar_t* text) {
    HWND edit = ::GetDlgItem(page, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

inline std::wstring TabTitle(HWND tabs, int index) {
    wchar_t text[64] = {};
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

inline int TabCount(HWND tabs) { return static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)); }

// The user picks a tab: the control asks, changes, then tells.
inline void PickTab(HWND dialog, int index) {
    HWND tabs = ::GetDlgItem(dialog, IDC_TASKPROPERTIES_TABS);
    SendNotify(dialog, tabs, static_cast<UINT>(TCN_SELCHANGING));
    ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendNotify(dialog, tabs, static_cast<UINT>(TCN_SELCHANGE));
}

// Answers the next message box, a "To Do List" one, with the button and keeps its text;
// a box after it fails the test.
inline void AnswerMessageBox(int answer, std::wstring* text) {
    DialogDriver::Current().Answer([answer, text, answered = false](const ShownMessageBox& box) mutable {
        EXPECT_FALSE(answered) << "a second message box: " << testing::PrintToString(box.text);
        EXPECT_EQ(L"To Do List", box.title);
        if (text) *text = box.text;
        answered = true;
        return answer;
    });
}

class TaskPropertyDlgTest : public testing::Test {
protected:
    void SetTasks(std::vector<TaskItem> items, bool run = true, bool defer = true) {
        tasks.Items() = std::move(items);
        tasks.Run = run;
        tasks.Defer = defer;
        std::vector<int> keys;
        for (const TaskItem& task : tasks.Items()) keys.push_back(task.ToDo_Index);
        owner.UseRows(keys, tasks);
    }

    // Shows the dialog modally; the script runs once it is up under the expected title
    // and must end it.
    INT_PTR Run(CTaskPropertyDlg& dialog, const std::wstring& title, std::function<void(HWND)> script) {
        DialogDriver driver(20);
        WhenDialogShown(title, std::move(script));
        return dialog.DoModal(nullptr);
    }

    TaskItemCollection tasks;
    testing::NiceMock<MockTaskPropertyOwner> owner;
};

