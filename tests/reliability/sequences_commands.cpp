// The commands of a random sequence, acting through the real dialog and bringing the model along.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "reliability_text.h"
#include "sequences_runner.h"
#include "support/dialog_driver.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistdlg.h"
#include "taskpropertydlg.h"

static std::wstring Title(int category) { return L"Task Properties - " + CategoryWord(category) + L" Task"; }

void CommandSequence::Step(CTaskListDlg& dialog, DialogDriver& boxes) {
    // Each command with its weight, and whether it mostly follows a fresh choice of rows.
    using Command = void (CommandSequence::*)(CTaskListDlg&, DialogDriver&);
    static const struct {
        Command command;
        int weight;
        bool onRows;
    } kCommands[] = {
        {&CommandSequence::SelectRows, 3, false},  {&CommandSequence::Action, 2, true},
        {&CommandSequence::Defer, 2, true},        {&CommandSequence::MarkDeleted, 2, true},
        {&CommandSequence::DeleteFromServer, 2, true}, {&CommandSequence::ManualTask, 2, false},
        {&CommandSequence::Properties, 3, true},   {&CommandSequence::Refresh, 1, false},
    };
    int pick = random_.Below(17);
    for (const auto& c : kCommands) {
        if ((pick -= c.weight) >= 0) continue;
        if (c.onRows && random_.Chance(70)) SelectRows(dialog, boxes);
        (this->*c.command)(dialog, boxes);
        return;
    }
}

std::wstring CommandSequence::RandomText(int maxPieces, bool lineBreaks) {
    static const wchar_t* const kPieces[] = {
        L"pump", L"P-101", L"valve", L"<", L">", L"&", L"\"", L"'", L"&amp;", L"]]>", L"<!--", L"-->", L"<b>",
        L"Gr\x00F6\x00DF" L"e", L"\x00D8 50", L"\x65E5\x672C", L"\xD83D\xDE00", L"caf\x00E9", L"%d", L"%s", L"{0}",
        L"  ", L"x", L"0101", L"\x0394p",
    };
    std::wstring text;
    int pieces = random_.Between(1, maxPieces);
    for (int i = 0; i < pieces; ++i) {
        if (lineBreaks && random_.Chance(10)) text += L"\r\n";
        else if (!text.empty() && random_.Chance(50)) text += L' ';
        text += random_.Pick(kPieces);
    }
    return text;
}

bool CommandSequence::Disabled(CTaskListDlg& dialog, int id, const wchar_t* command, const std::vector<int>& keys) {
    bool enabled = Enabled(dialog.hwnd(), id);
    if (!enabled) Note(command + Keys(keys) + L" (disabled)");
    return !enabled;
}

// Clicks the button on the selected tasks when it is enabled; the keys it acted on.
std::vector<int> CommandSequence::Press(CTaskListDlg& dialog, int id, const wchar_t* command) {
    std::vector<int> keys = TaskListDialogAccess::SelectedKeys(dialog);
    if (Disabled(dialog, id, command, keys)) return {};
    Note(command + Keys(keys));
    Click(dialog.hwnd(), id);
    return keys;
}

// The texts of the message boxes shown since `before` of them, all of them.
void CommandSequence::ExpectBoxes(const DialogDriver& boxes, size_t before, const std::vector<std::wstring>& texts) {
    std::vector<std::wstring> shown;
    for (size_t i = before; i < boxes.boxes().size(); ++i) shown.push_back(boxes.boxes()[i].text);
    EXPECT_EQ(texts, shown) << Narrow(Where());
}

void CommandSequence::SelectRows(CTaskListDlg& dialog, DialogDriver&) {
    const int rows = TaskListDialogAccess::RowCount(dialog);
    TaskListDialogAccess::List(dialog).SetItemState(-1, 0, LVIS_SELECTED);
    std::set<int> chosen;
    int mode = random_.Below(10);
    if (rows > 0 && mode > 0) {
        int wanted = mode <= 5 ? 1 : random_.Between(2, std::min(rows, 5));
        while (static_cast<int>(chosen.size()) < std::min(wanted, rows)) chosen.insert(random_.Below(rows));
    }
    for (int row : chosen) TaskListDialogAccess::List(dialog).SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    Note(L"select " + Keys(TaskListDialogAccess::SelectedKeys(dialog)));
}

void CommandSequence::Action(CTaskListDlg& dialog, DialogDriver& boxes) {
    size_t before = boxes.boxes().size();
    boxes.Answer(IDOK);
    int failing = 0;
    for (int key : Press(dialog, IDC_TASKLIST_ACTION, L"Action ")) {
        ModelTask& task = model_[key - 1];
        task.status = task.failsWhenRun ? kStatusError : kStatusCompleted;
        task.notesFromRun = task.failsWhenRun;
        failing += task.failsWhenRun;
    }
    ExpectBoxes(boxes, before, failing ? std::vector<std::wstring>{std::to_wstring(failing) + kNotCompleted}
                                       : std::vector<std::wstring>{});
}

void CommandSequence::Defer(CTaskListDlg& dialog, DialogDriver&) {
    for (int key : Press(dialog, IDC_TASKLIST_DEFER, L"Defer ")) {
        int& status = model_[key - 1].status;
        status = status == kStatusDeferred ? kStatusOpen : kStatusDeferred;
    }
}

void CommandSequence::MarkDeleted(CTaskListDlg& dialog, DialogDriver&) {
    for (int key : Press(dialog, IDC_TASKLIST_DELETE, L"Delete ")) model_[key - 1].deleted = 1;
}

void CommandSequence::DeleteFromServer(CTaskListDlg& dialog, DialogDriver& boxes) {
    std::vector<int> keys = TaskListDialogAccess::SelectedKeys(dialog);
    if (Disabled(dialog, IDC_TASKLIST_DELETEFROMSERVER, L"DeleteFromServer ", keys)) return;
    bool yes = random_.Chance(60);
    Note(L"DeleteFromServer " + Keys(keys) + (yes ? L" Yes" : L" No"));
    boxes.Answer(yes ? IDYES : IDNO);
    size_t before = boxes.boxes().size();
    Click(dialog.hwnd(), IDC_TASKLIST_DELETEFROMSERVER);
    ExpectBoxes(boxes, before, {kDeleteQuestion});
    if (!yes) return;
    std::sort(keys.rbegin(), keys.rend());
    for (int key : keys) model_.erase(model_.begin() + (key - 1));
}

void CommandSequence::ManualTask(CTaskListDlg& dialog, DialogDriver& boxes) {
    ModelTask task;
    task.name = RandomText(4, false);
    task.notes = RandomText(5, true);
    task.category = kCategoryManual;
    task.status = random_.Between(0, kStatusCount - 1);
    task.description = RandomText(3, true);
    bool ok = random_.Chance(80);
    Note(L"Manual Task name=[" + task.name + L"] status=" + std::to_wstring(task.status) + (ok ? L" OK" : L" Cancel"));
    bool shown = false;
    boxes.WhenShown(Title(kCategoryManual), [&](HWND properties) {
        shown = true;
        HWND general = PageWith(properties, IDC_TASKGENERAL_NAME);
        Type(general, IDC_TASKGENERAL_NAME, task.name);
        Type(general, IDC_TASKGENERAL_DESCRIPTION, task.description);
        Type(general, IDC_TASKGENERAL_NOTES, task.notes);
        ::SendDlgItemMessageW(general, IDC_TASKGENERAL_STATUS, CB_SETCURSEL, static_cast<WPARAM>(task.status), 0);
        Click(properties, ok ? IDOK : IDCANCEL);
    });
    Click(dialog.hwnd(), IDC_TASKLIST_MANUALTASK);
    EXPECT_TRUE(shown) << Narrow(Where()) << ": no property dialog for a new task";
    if (!ok) return;
    model_.push_back(task);
}

// Edits the first selected task in its property dialog: notes (and a manual task's name
// and description) typed, then OK, Apply and Cancel, or Cancel. The model expects what
// was typed.
void CommandSequence::Properties(CTaskListDlg& dialog, DialogDriver& boxes) {
    std::vector<int> keys = TaskListDialogAccess::SelectedKeys(dialog);
    if (Disabled(dialog, IDC_TASKLIST_PROPERTIES, L"Properties ", keys)) return;
    const int key = TaskListDialogAccess::RowKey(dialog, TaskListDialogAccess::List(dialog).NextItem(-1, LVNI_SELECTED));
    ModelTask& task = model_[key - 1];
    bool shown = false;
    boxes.WhenShown(Title(task.category), [&](HWND properties) {
        shown = true;
        HWND general = PageWith(properties, IDC_TASKGENERAL_NAME);
        std::wstring notes = RandomText(5, true);
        const bool manual = task.category == kCategoryManual;
        std::wstring name = manual && random_.Chance(50) ? RandomText(3, false) : L"";
        std::wstring description = manual && random_.Chance(50) ? RandomText(3, true) : L"";
        const int ending = random_.Below(3);
        static const wchar_t* const kEndings[] = {L" OK", L" Apply Cancel", L" Cancel"};
        Note(L"Properties of " + std::to_wstring(key) + L" notes [" + notes + L"] name [" + name + L"] description [" +
             description + L"]" + kEndings[ending]);
        Type(general, IDC_TASKGENERAL_NOTES, notes);
        if (!name.empty()) Type(general, IDC_TASKGENERAL_NAME, name);
        if (!description.empty()) Type(general, IDC_TASKGENERAL_DESCRIPTION, description);
        if (ending < 2) {
            task.notes = notes;
            if (!name.empty()) task.name = name;
            if (!description.empty()) task.description = description;
        }
        if (ending == 1) Click(properties, IDC_TASKPROPERTIES_APPLY);
        Click(properties, ending == 0 ? IDOK : IDCANCEL);
    });
    Click(dialog.hwnd(), IDC_TASKLIST_PROPERTIES);
    EXPECT_TRUE(shown) << Narrow(Where()) << ": no property dialog titled " << Narrow(Title(task.category));
}

void CommandSequence::Refresh(CTaskListDlg& dialog, DialogDriver&) {
    Note(L"Refresh");
    Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
}
