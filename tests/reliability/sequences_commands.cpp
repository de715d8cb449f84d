// The commands of a random sequence: each makes its choices with the sequence's
// generator, acts through the real dialog with the messages a user's actions produce,
// and brings the model along.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "configureview.h"
#include "reliability_text.h"
#include "sequences_runner.h"
#include "support/dialog_driver.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistdlg.h"
#include "taskpropertydlg.h"

namespace {

constexpr const wchar_t* kDeleteQuestion =
    L"This action will permanently delete the selected tasks from the workspace\nDo you want to continue?";
constexpr const wchar_t* kNotCompleted = L" task(s) have not completed - Check the To Do list.";
constexpr const wchar_t* kSaveQuestion = L"You have made changes to this task.\nDo you wish to save these changes?";

// What the user types replaces the whole text; an edit reports it as a change.
void Type(HWND page, int id, const std::wstring& text) {
    HWND edit = ::GetDlgItem(page, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring Title(int category) { return L"Task Properties - " + CategoryWord(category) + L" Task"; }

} // namespace

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
        {&CommandSequence::ToggleView, 2, false},  {&CommandSequence::Sort, 2, false},
        {&CommandSequence::ConfigureView, 1, false},
    };
    int pick = random_.Below(22);
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
        // Deleted tasks are chosen too, now and then on purpose.
        if (random_.Chance(30)) {
            for (int row = 0; row < rows; ++row) {
                int key = TaskListDialogAccess::RowKey(dialog, row);
                if (key >= 1 && key <= static_cast<int>(model_.size()) && model_[key - 1].deleted) {
                    chosen.insert(row);
                    break;
                }
            }
        }
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
    std::vector<int> descending = keys;
    std::sort(descending.rbegin(), descending.rend());
    for (int key : descending) model_.erase(model_.begin() + (key - 1));
    expectedCount_ -= static_cast<int>(keys.size());
}

void CommandSequence::ManualTask(CTaskListDlg& dialog, DialogDriver&) {
    ModelTask task;
    task.name = RandomText(4, false);
    task.notes = RandomText(5, true);
    task.category = kCategoryManual;
    task.status = random_.Between(0, kStatusCount - 1);
    std::wstring description = RandomText(3, true);
    bool ok = random_.Chance(80);
    Note(L"Manual Task name=[" + task.name + L"] status=" + std::to_wstring(task.status) + (ok ? L" OK" : L" Cancel"));
    bool shown = false;
    trigger_->WhenShown(Title(kCategoryManual), [&](HWND properties) {
        shown = true;
        HWND general = PageWith(properties, IDC_TASKGENERAL_NAME);
        Type(general, IDC_TASKGENERAL_NAME, task.name);
        Type(general, IDC_TASKGENERAL_DESCRIPTION, description);
        Type(general, IDC_TASKGENERAL_NOTES, task.notes);
        ::SendDlgItemMessageW(general, IDC_TASKGENERAL_STATUS, CB_SETCURSEL, static_cast<WPARAM>(task.status), 0);
        Click(properties, ok ? IDOK : IDCANCEL);
    });
    Click(dialog.hwnd(), IDC_TASKLIST_MANUALTASK);
    EXPECT_TRUE(shown) << Narrow(Where()) << ": no property dialog for a new task";
    if (!ok) return;
    model_.push_back(task);
    ++expectedCount_;
}

void CommandSequence::SaveFromPage(HWND page, int key) {
    ModelTask& task = model_[key - 1];
    std::wstring name = WindowText(::GetDlgItem(page, IDC_TASKGENERAL_NAME));
    task.name = name;
    task.notes = WindowText(::GetDlgItem(page, IDC_TASKGENERAL_NOTES));
}

void CommandSequence::Properties(CTaskListDlg& dialog, DialogDriver& boxes) {
    std::vector<int> keys = TaskListDialogAccess::SelectedKeys(dialog);
    if (Disabled(dialog, IDC_TASKLIST_PROPERTIES, L"Properties ", keys)) return;
    int row = TaskListDialogAccess::List(dialog).NextItem(-1, LVNI_SELECTED);
    int first = TaskListDialogAccess::RowKey(dialog, row);
    Note(L"Properties of " + std::to_wstring(first));
    bool shown = false;
    trigger_->WhenShown(Title(model_[first - 1].category), [&, first](HWND properties) {
        shown = true;
        int current = first;
        bool changed = false;
        int steps = random_.Between(0, 3);
        for (int i = 0; i < steps; ++i) {
            HWND general = PageWith(properties, IDC_TASKGENERAL_NAME);
            switch (random_.Below(5)) {
            case 0:
            case 1: {
                std::wstring notes = RandomText(5, true);
                Note(L"  type notes [" + notes + L"]");
                Type(general, IDC_TASKGENERAL_NOTES, notes);
                changed = true;
                if (model_[current - 1].category == kCategoryManual && random_.Chance(50)) {
                    std::wstring name = RandomText(3, false);
                    Note(L"  type name [" + name + L"]");
                    Type(general, IDC_TASKGENERAL_NAME, name);
                }
                break;
            }
            case 2:
                if (!Enabled(properties, IDC_TASKPROPERTIES_APPLY)) {
                    EXPECT_FALSE(changed) << Narrow(Where()) << ": Apply stays disabled after an edit";
                    break;
                }
                Note(L"  Apply");
                SaveFromPage(general, current);
                Click(properties, IDC_TASKPROPERTIES_APPLY);
                break;
            default: {
                bool forward = random_.Chance(50);
                int id = forward ? IDC_TASKPROPERTIES_NEXT : IDC_TASKPROPERTIES_PREVIOUS;
                int at = TaskListDialogAccess::FindRow(dialog, current);
                int target = forward ? at + 1 : at - 1;
                bool possible = at >= 0 && target >= 0 && target < TaskListDialogAccess::RowCount(dialog);
                EXPECT_EQ(possible, Enabled(properties, id)) << Narrow(Where()) << (forward ? ": Next" : ": Previous");
                if (!possible || !Enabled(properties, id)) break;
                bool save = random_.Chance(50);
                Note(std::wstring(L"  ") + (forward ? L"Next" : L"Previous") +
                     (changed ? (save ? L" (save: Yes)" : L" (save: No)") : L""));
                if (changed && save) SaveFromPage(general, current);
                boxes.Answer(save ? IDYES : IDNO);
                size_t before = boxes.boxes().size();
                Click(properties, id);
                ExpectBoxes(boxes, before, changed ? std::vector<std::wstring>{kSaveQuestion} : std::vector<std::wstring>{});
                current = TaskListDialogAccess::RowKey(dialog, target);
                changed = false;
                EXPECT_EQ(Title(model_[current - 1].category), WindowText(properties)) << Narrow(Where());
                EXPECT_EQ(model_[current - 1].notes,
                          WindowText(::GetDlgItem(PageWith(properties, IDC_TASKGENERAL_NAME), IDC_TASKGENERAL_NOTES)))
                    << Narrow(Where()) << ": the notes of task " << current;
                break;
            }
            }
        }
        bool ok = random_.Chance(50);
        Note(ok ? L"  OK" : L"  Cancel");
        if (ok && changed) SaveFromPage(PageWith(properties, IDC_TASKGENERAL_NAME), current);
        Click(properties, ok ? IDOK : IDCANCEL);
    });
    Click(dialog.hwnd(), IDC_TASKLIST_PROPERTIES);
    EXPECT_TRUE(shown) << Narrow(Where()) << ": no property dialog titled " << Narrow(Title(model_[first - 1].category));
}

void CommandSequence::Refresh(CTaskListDlg& dialog, DialogDriver&) {
    Note(L"Refresh");
    Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
}

void CommandSequence::ToggleView(CTaskListDlg& dialog, DialogDriver&) {
    struct Toggle {
        int command;
        int ViewFlags::*flag;
        const wchar_t* name;
    };
    static const Toggle kToggles[] = {
        {ID_TASKLIST_DELETEDTASKS, &ViewFlags::ShowDeleted, L"Deleted Tasks"},
        {ID_TASKLIST_OPENTASKS, &ViewFlags::ShowOpen, L"Open Tasks"},
        {ID_TASKLIST_DEFERREDTASKS, &ViewFlags::ShowDeferred, L"Deferred Tasks"},
        {ID_TASKLIST_COMPLETEDTASKS, &ViewFlags::ShowCompleted, L"Completed Tasks"},
    };
    const Toggle& toggle = random_.Pick(kToggles);
    views_.*toggle.flag = views_.*toggle.flag ? 0 : 1;
    Note(std::wstring(L"view ") + toggle.name + (views_.*toggle.flag ? L" on" : L" off"));
    dialog.Send(WM_COMMAND, MAKEWPARAM(toggle.command, 0), 0);
}

void CommandSequence::Sort(CTaskListDlg& dialog, DialogDriver&) {
    int column = random_.Below(static_cast<int>(TaskListDialogAccess::Columns(dialog).size()));
    Note(L"sort by column " + std::to_wstring(column));
    // The header's click as the list view receives it from its header control.
    HWND header = TaskListDialogAccess::List(dialog).Header();
    NMHEADERW click = {{header, static_cast<UINT_PTR>(::GetDlgCtrlID(header)), static_cast<UINT>(HDN_ITEMCLICKW)}, column};
    TaskListDialogAccess::List(dialog).Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

void CommandSequence::ConfigureView(CTaskListDlg& dialog, DialogDriver&) {
    const bool clear = !rules_.empty() && random_.Chance(40);
    FilterRule rule;
    if (!clear) {
        const auto& names = OfferedColumnNames();
        rule.column = names[static_cast<size_t>(random_.Below(static_cast<int>(names.size())))];
        rule.kind = random_.Below(4);
        // A value taken from a task, so that the rule keeps some rows now and then.
        std::wstring source;
        if (!model_.empty() && random_.Chance(75)) {
            int key = random_.Between(1, static_cast<int>(model_.size()));
            if (const TaskItem* task = TaskListDialogAccess::Tasks(dialog).FindByKey(key)) source = ColumnText(*task, rule.column);
        }
        if (source.empty()) source = random_.Chance(50) ? L"p" : L"e";
        size_t length = std::min<size_t>(source.size(), static_cast<size_t>(random_.Between(1, 4)));
        switch (rule.kind) {
        case kBeginsWith: rule.value = source.substr(0, length); break;
        case kEndsWith: rule.value = source.substr(source.size() - length); break;
        case kContains: rule.value = source.substr(source.size() / 2, length); break;
        default: rule.value = source; break;
        }
        if (rule.value.empty()) rule.value = L"p";
    }
    Note(clear ? std::wstring(L"Configure View: remove the rules")
               : L"Configure View: rule " + rule.column + FilterKeyword(rule.kind) + L"\"" + rule.value + L"\"");
    bool shown = false;
    trigger_->WhenShown(L"Configure View", [&](HWND view) {
        shown = true;
        HWND tabs = ::GetDlgItem(view, IDC_CV_TABS);
        ::SendMessageW(tabs, TCM_SETCURSEL, 1, 0);
        SendNotify(view, tabs, TCN_SELCHANGE);
        if (clear) {
            HWND list = ::GetDlgItem(view, IDC_CV_RULES);
            while (::SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
                ::SendMessageW(list, LB_SETCURSEL, 0, 0);
                ::SendMessageW(view, WM_COMMAND, MAKEWPARAM(IDC_CV_RULES, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
                Click(view, IDC_CV_RULE_DELETE);
            }
        } else {
            HWND combo = ::GetDlgItem(view, IDC_CV_COLUMN);
            LRESULT at = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(rule.column.c_str()));
            ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
            for (int id = IDC_CV_BEGINSWITH; id <= IDC_CV_ISEQUAL; ++id)
                ::CheckDlgButton(view, id, id == IDC_CV_BEGINSWITH + rule.kind ? BST_CHECKED : BST_UNCHECKED);
            ::SetDlgItemTextW(view, IDC_CV_VALUE, rule.value.c_str());
            Click(view, IDC_CV_RULE_ADD);
        }
        Click(view, IDOK);
    });
    dialog.Send(WM_COMMAND, MAKEWPARAM(ID_TASKLIST_SETTINGS, 0), 0);
    EXPECT_TRUE(shown) << Narrow(Where()) << ": Configure View was not shown";
    if (clear) rules_.clear();
    else rules_.push_back(rule);
    EXPECT_EQ(rules_, TaskListDialogAccess::Rules(dialog)) << Narrow(Where());
}
