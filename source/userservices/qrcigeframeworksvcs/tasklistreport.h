#pragma once
// The Report command of the To Do list: copies what the list shows into a new workbook of
// the spreadsheet application, driven late-bound, and leaves it open, visible and under
// the user's control. Sheet 1 gets a cover block (workspace, user, date and time), sheet 2
// the header row and one row per task.
#include <windows.h>
#include <string>
#include <vector>
#include "comidentifiers.h"

class TaskListModel;

inline constexpr const wchar_t* kSpreadsheetProgId = L"Excel.Application";

enum class ReportNotice {
    // A message box over the list's parent window when the application cannot be reached.
    TellUserWhenUnreachable,
    Silent,
};

// The header row holds the column set's names in its own order (not the order the user
// dragged the columns to); the rows are the model's, with its texts, in the order shown,
// padded with empty texts to the number of tasks in the collection. A message box is
// owned by `owner`.
// Returns E_FAIL when the spreadsheet application cannot be reached (not registered, not
// started, or its workbooks cannot be read); otherwise the HRESULT of the step recorded
// last, with that step's error information on the thread when it failed.
HRESULT ReportTaskList(HWND owner, const TaskListModel& model, IWorkspace* workspace,
                       ReportNotice notice = ReportNotice::TellUserWhenUnreachable);

// Why the spreadsheet application could not be reached.
enum class SpreadsheetUnreachable {
    NotRegistered,  // no class for the ProgID
    NotStarted,     // the class could not be made
    NoWorkbooks,    // it would not hand out its workbooks
};

// What the user is told: that the report could not be made, why, and the system's text
// for the failure `cause` (with its code).
std::wstring SpreadsheetUnreachableMessage(SpreadsheetUnreachable reason, HRESULT cause);
