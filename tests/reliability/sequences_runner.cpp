#include "sequences_runner.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "configureview.h"
#include "reliability_text.h"
#include "support/dialog_driver.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "support/settings_store.h"
#include "support/sim_workspace.h"
#include "support/xml_dom.h"
#include "winkit/com_ptr.h"
#include "tasklistdlg.h"
#include "taskpropertydlg.h"

namespace {

constexpr const wchar_t* kUser = L"PLANT\\jdoe";  // the sample workspace's user
constexpr const wchar_t* kDeleteQuestion =
    L"This action will permanently delete the selected tasks from the workspace\nDo you want to continue?";
constexpr const wchar_t* kNotCompleted = L" task(s) have not completed - Check the To Do list.";
constexpr const wchar_t* kSaveQuestion = L"You have made changes to this task.\nDo you wish to save these changes?";

std::wstring Keys(const std::vector<int>& keys) {
    std::wstring text = L"{";
    for (size_t i = 0; i < keys.size(); ++i) text += (i ? L"," : L"") + std::to_wstring(keys[i]);
    return text + L"}";
}

} // namespace

namespace {

Truth ReadTruth(SimWorkspace& sim) {
    Truth truth;
    DomReadResult answer = ReadXmlText(sim.CallFramework(L"GetTaskList", L""));
    if (!answer.wellFormed) {
        truth.problem = L"the TaskItemList answer is not well-formed: " + answer.reason;
        return truth;
    }
    for (const DomElementInfo* element : answer.Named(L"TaskItem")) {
        static const std::pair<const wchar_t*, std::wstring TaskItem::*> kTexts[] = {
            {L"ToDo_Name", &TaskItem::ToDo_Name}, {L"ToDo_Description", &TaskItem::ToDo_Description},
            {L"ToDo_Notes", &TaskItem::ToDo_Notes}, {L"ToDo_Class", &TaskItem::ToDo_Class},
            {L"ToDo_ItemName", &TaskItem::ToDo_ItemName}, {L"ToDo_CreatedDate", &TaskItem::ToDo_CreatedDate},
            {L"ToDo_CreatedBy", &TaskItem::ToDo_CreatedBy}, {L"ToDo_ModifiedDate", &TaskItem::ToDo_ModifiedDate},
            {L"ToDo_ModifiedBy", &TaskItem::ToDo_ModifiedBy}, {L"ToDo_RunDate", &TaskItem::ToDo_RunDate},
            {L"ToDo_RunBy", &TaskItem::ToDo_RunBy}, {L"ToDo_DeletedDate", &TaskItem::ToDo_DeletedDate},
            {L"ToDo_DeletedBy", &TaskItem::ToDo_DeletedBy}, {L"ToDo_EngineeringTool", &TaskItem::ToDo_EngineeringTool},
            {L"ToDo_SrcDocName", &TaskItem::ToDo_SrcDocName}, {L"ToDo_SrcDocType", &TaskItem::ToDo_SrcDocType},
        };
        static const std::pair<const wchar_t*, int TaskItem::*> kNumbers[] = {
            {L"ToDo_Index", &TaskItem::ToDo_Index}, {L"ToDo_Category", &TaskItem::ToDo_Category},
            {L"ToDo_Status", &TaskItem::ToDo_Status}, {L"ToDo_DeletedFlag", &TaskItem::ToDo_DeletedFlag},
        };
        TaskItem task;
        for (const auto& [name, field] : kTexts) task.*field = DomReadResult::Attribute(*element, name);
        for (const auto& [name, field] : kNumbers) task.*field = _wtoi(DomReadResult::Attribute(*element, name).c_str());
        if (task.ToDo_Index != static_cast<int>(truth.tasks.size()) + 1 && truth.problem.empty())
            truth.problem = L"task " + std::to_wstring(truth.tasks.size() + 1) + L" has ToDo_Index " +
                            std::to_wstring(task.ToDo_Index);
        truth.tasks.push_back(std::move(task));
    }
    return truth;
}

// Whether a claims document holds an object locked by someone other than the user.
bool ClaimsRefused(const std::wstring& claims, const std::wstring& user) {
    if (claims.empty()) return false;
    for (const DomElementInfo* claim : ReadXmlText(claims).Named(L"Claim")) {
        std::wstring locked = DomReadResult::Attribute(*claim, L"Locked");
        std::wstring by = DomReadResult::Attribute(*claim, L"LockedBy");
        bool held = locked == L"1" || locked == L"true";
        if (held && (by.empty() || CompareStringOrdinal(by.c_str(), -1, user.c_str(), -1, TRUE) != CSTR_EQUAL)) return true;
    }
    return false;
}

// What the user types replaces the whole text; an edit reports it as a change.
void Type(HWND page, int id, const std::wstring& text) {
    HWND edit = ::GetDlgItem(page, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

std::wstring Title(int category) { return L"Task Properties - " + CategoryWord(category) + L" Task"; }

// Where the workspace copies go. The simulated framework flushes the file to disk at
// every change, which is what a workspace needs but costs thousands of sequences
// minutes on a busy disk: a memory file system (/dev/shm, seen by Wine as Z:) spares it
// when there is one. QRC_SEQUENCE_FOLDER names another folder.
std::wstring WorkspaceFolder() {
    wchar_t named[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"QRC_SEQUENCE_FOLDER", named, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return named;
    const wchar_t* memory = L"Z:\\dev\\shm\\";
    DWORD attributes = GetFileAttributesW(memory);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return memory;
    return L"";
}

// The failed parts of the running test so far: a sequence failed when the number grew.
int FailedParts() {
    const testing::TestResult* result = testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    for (int i = 0; i < result->total_part_count(); ++i)
        if (result->GetTestPartResult(i).failed()) ++failed;
    return failed;
}

} // namespace

CommandSequence::CommandSequence(uint64_t seed, int index)
    : seed_(seed), index_(index), random_(seed, static_cast<uint64_t>(index)) {}

std::wstring CommandSequence::Where() const {
    return L"sequence " + std::to_wstring(index_) + L" of seed " + std::to_wstring(seed_) + L", command " +
           std::to_wstring(commands_);
}

BatchResult RunSequenceBatch(uint64_t seed, int first, int count) {
    BatchResult result;
    SettingsStore store;  // all views on and the default columns, as every sequence starts
    SimWorkspace sim(L"", WorkspaceFolder());
    if (!sim.ok()) {
        ADD_FAILURE() << "QRSim.Workspace must be registered (register-components.sh)";
        result.failed = true;
        return result;
    }
    auto proxy = winkit::ComPtr<IDispatch>::Attach(fault::WrapWorkspace(sim.Workspace(), sim.Dispatch()));
    winkit::ComPtr<IWorkspace> workspace;
    proxy.QueryTo(IID_IWorkspace, workspace.put_void());
    DialogDriver boxes(static_cast<UINT>(30 + 5 * count));
    boxes.Answer(IDOK);
    CTaskListDlg dialog(workspace.get());
    boxes.WhenShown(L"To Do List", [&](HWND window) {
        for (int index = first; index < first + count; ++index) {
            if (index > first) {
                // A fresh copy of the workspace and the dialog as it opens: all views on,
                // no rules, no sort (Refresh forgets it), nothing selected.
                EXPECT_TRUE(sim.Renew());
                dialog.Views() = ViewFlags{};
                dialog.Rules().clear();
                Click(window, IDC_TASKLIST_REFRESH);
            }
            FaultPlan::Get().Start();
            CommandSequence sequence(seed, index);
            sequence.Run(dialog, sim, boxes);
            result.commands += sequence.Commands();
            ++result.sequences;
            result.failed = sequence.Failed();
            if (result.failed) break;  // the dialog may be in any state now
        }
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal(nullptr));
    EXPECT_FALSE(boxes.watchdogFired());
    return result;
}

void CommandSequence::Run(CTaskListDlg& dialog, SimWorkspace& sim, DialogDriver& boxes) {
    int failedBefore = FailedParts();
    trigger_ = &boxes;
    LoadModel(sim);
    if (FailedParts() == failedBefore) {
        RunInDialog(dialog, sim, boxes);
        for (const FaultEvent& request : FaultPlan::Get().Events())
            if (request.rawSite.rfind(L"IServiceRequest::Execute", 0) == 0 && FAILED(request.result))
                ADD_FAILURE() << Narrow(Where()) << ": the framework refused " << Narrow(request.site) << " (0x" << std::hex
                              << static_cast<unsigned long>(request.result) << "): " << Narrow(request.error);
        CheckWorkspace(sim);
    }
    failed_ = FailedParts() != failedBefore;
    if (failed_) {
        std::string replay = "replay with QRC_SEQUENCE_SEED=" + std::to_string(seed_) +
                             " QRC_SEQUENCE_INDEX=" + std::to_string(index_) + "\n";
        for (const std::wstring& line : log_) replay += "  " + Narrow(line) + "\n";
        ADD_FAILURE() << replay;
    }
}

void CommandSequence::RunInDialog(CTaskListDlg& dialog, SimWorkspace& sim, DialogDriver& boxes) {
    CheckRows(dialog, ReadTruth(sim));
    const int length = random_.Between(3, 8);
    for (int i = 0; i < length; ++i) {
        ++commands_;
        int failedBefore = FailedParts();
        Step(dialog, sim, boxes);
        Truth truth = ReadTruth(sim);
        CheckModel(truth, log_.empty() ? L"" : log_.back().c_str());
        CheckRows(dialog, truth);
        CheckButtons(dialog);
        if (FailedParts() != failedBefore) break;  // what follows would only repeat the fault
    }
}

void CommandSequence::Step(CTaskListDlg& dialog, SimWorkspace&, DialogDriver& boxes) {
    enum Command { Select, Run, DeferTasks, Delete, DeleteForGood, Manual, Edit, RefreshList, View, SortList, Configure };
    static const Command kCommands[] = {
        Select, Select, Select, Run, Run, DeferTasks, DeferTasks, Delete, Delete, DeleteForGood, DeleteForGood,
        Manual, Manual, Edit, Edit, Edit, RefreshList, View, View, SortList, SortList, Configure,
    };
    Command command = random_.Pick(kCommands);
    // Task commands mostly follow a fresh choice of rows.
    bool needsRows = command == Run || command == DeferTasks || command == Delete || command == DeleteForGood ||
                     command == Edit;
    if (needsRows && random_.Chance(70)) SelectRows(dialog);
    switch (command) {
    case Select: SelectRows(dialog); break;
    case Run: Action(dialog, boxes); break;
    case DeferTasks: Defer(dialog); break;
    case Delete: MarkDeleted(dialog); break;
    case DeleteForGood: DeleteFromServer(dialog, boxes); break;
    case Manual: ManualTask(dialog); break;
    case Edit: Properties(dialog, boxes); break;
    case RefreshList: Refresh(dialog); break;
    case View: ToggleView(dialog); break;
    case SortList: Sort(dialog); break;
    case Configure: ConfigureView(dialog); break;
    }
}

// ---- Commands ------------------------------------------------------------------------

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

// The texts of the message boxes shown since `before` of them, all of them.
void CommandSequence::ExpectBoxes(const DialogDriver& boxes, size_t before, const std::vector<std::wstring>& texts) {
    std::vector<std::wstring> shown;
    for (size_t i = before; i < boxes.boxes().size(); ++i) shown.push_back(boxes.boxes()[i].text);
    EXPECT_EQ(texts, shown) << Narrow(Where());
}

void CommandSequence::SelectRows(CTaskListDlg& dialog) {
    const int rows = dialog.RowCount();
    dialog.List().SetItemState(-1, 0, LVIS_SELECTED);
    std::set<int> chosen;
    int mode = random_.Below(10);
    if (rows > 0 && mode > 0) {
        int wanted = mode <= 5 ? 1 : random_.Between(2, std::min(rows, 5));
        while (static_cast<int>(chosen.size()) < std::min(wanted, rows)) chosen.insert(random_.Below(rows));
        // Deleted tasks are chosen too, now and then on purpose.
        if (random_.Chance(30)) {
            for (int row = 0; row < rows; ++row) {
                int key = dialog.RowKey(row);
                if (key >= 1 && key <= static_cast<int>(model_.size()) && model_[key - 1].deleted) {
                    chosen.insert(row);
                    break;
                }
            }
        }
    }
    for (int row : chosen) dialog.List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    Note(L"select " + Keys(dialog.SelectedKeys()));
}

void CommandSequence::Action(CTaskListDlg& dialog, DialogDriver& boxes) {
    std::vector<int> keys = dialog.SelectedKeys();
    if (Disabled(dialog, IDC_TASKLIST_ACTION, L"Action ", keys)) return;
    Note(L"Action " + Keys(keys));
    int failing = 0;
    for (int key : keys) {
        ModelTask& task = model_[key - 1];
        task.status = task.failsWhenRun ? kStatusError : kStatusCompleted;
        task.notesFromRun = task.failsWhenRun;
        if (task.failsWhenRun) ++failing;
    }
    size_t before = boxes.boxes().size();
    boxes.Answer(IDOK);
    Click(dialog.hwnd(), IDC_TASKLIST_ACTION);
    ExpectBoxes(boxes, before, failing ? std::vector<std::wstring>{std::to_wstring(failing) + kNotCompleted}
                                       : std::vector<std::wstring>{});
}

void CommandSequence::Defer(CTaskListDlg& dialog) {
    std::vector<int> keys = dialog.SelectedKeys();
    if (Disabled(dialog, IDC_TASKLIST_DEFER, L"Defer ", keys)) return;
    Note(L"Defer " + Keys(keys));
    for (int key : keys) {
        int& status = model_[key - 1].status;
        status = status == kStatusDeferred ? kStatusOpen : kStatusDeferred;
    }
    Click(dialog.hwnd(), IDC_TASKLIST_DEFER);
}

void CommandSequence::MarkDeleted(CTaskListDlg& dialog) {
    std::vector<int> keys = dialog.SelectedKeys();
    if (Disabled(dialog, IDC_TASKLIST_DELETE, L"Delete ", keys)) return;
    Note(L"Delete " + Keys(keys));
    for (int key : keys) model_[key - 1].deleted = 1;
    Click(dialog.hwnd(), IDC_TASKLIST_DELETE);
}

void CommandSequence::DeleteFromServer(CTaskListDlg& dialog, DialogDriver& boxes) {
    std::vector<int> keys = dialog.SelectedKeys();
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

void CommandSequence::ManualTask(CTaskListDlg& dialog) {
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
    std::vector<int> keys = dialog.SelectedKeys();
    if (Disabled(dialog, IDC_TASKLIST_PROPERTIES, L"Properties ", keys)) return;
    int row = dialog.List().NextItem(-1, LVNI_SELECTED);
    int first = dialog.RowKey(row);
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
                int at = dialog.FindRow(current);
                int target = forward ? at + 1 : at - 1;
                bool possible = at >= 0 && target >= 0 && target < dialog.RowCount();
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
                current = dialog.RowKey(target);
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

void CommandSequence::Refresh(CTaskListDlg& dialog) {
    Note(L"Refresh");
    Click(dialog.hwnd(), IDC_TASKLIST_REFRESH);
}

void CommandSequence::ToggleView(CTaskListDlg& dialog) {
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

void CommandSequence::Sort(CTaskListDlg& dialog) {
    int column = random_.Below(static_cast<int>(dialog.Columns().size()));
    Note(L"sort by column " + std::to_wstring(column));
    NMHEADERW click = {};
    click.hdr.hwndFrom = dialog.List().Header();
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(click.hdr.hwndFrom));
    click.hdr.code = HDN_ITEMCLICKW;
    click.iItem = column;
    dialog.List().Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

void CommandSequence::ConfigureView(CTaskListDlg& dialog) {
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
            if (const TaskItem* task = dialog.Tasks().FindByKey(key)) source = ColumnText(*task, rule.column);
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
               : L"Configure View: rule " + FilterRuleText(rule, false));
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
    EXPECT_EQ(rules_, dialog.Rules()) << Narrow(Where());
}

// ---- Checks --------------------------------------------------------------------------

void CommandSequence::LoadModel(SimWorkspace& sim) {
    Truth truth = ReadTruth(sim);
    ASSERT_TRUE(truth.problem.empty()) << Narrow(truth.problem);
    DomReadResult file = ReadXmlFile(sim.Path());
    ASSERT_TRUE(file.wellFormed) << Narrow(file.reason);
    std::wstring user;
    if (!file.Named(L"FrameworkData").empty()) user = DomReadResult::Attribute(*file.Named(L"FrameworkData")[0], L"EFUID");
    std::vector<bool> fails;
    for (const DomElementInfo& element : file.elements) {
        if (element.name == L"Task") fails.push_back(DomReadResult::Attribute(element, L"FailsOnAction") == L"1");
        else if (element.name == L"ActionClaims" && !fails.empty() && ClaimsRefused(element.text, user)) fails.back() = true;
    }
    ASSERT_EQ(truth.tasks.size(), fails.size());
    model_.clear();
    for (size_t i = 0; i < truth.tasks.size(); ++i) {
        const TaskItem& t = truth.tasks[i];
        model_.push_back({t.ToDo_Name, t.ToDo_Notes, t.ToDo_Category, t.ToDo_Status, t.ToDo_DeletedFlag, fails[i], false});
    }
    expectedCount_ = static_cast<int>(model_.size());
}

void CommandSequence::CheckModel(const Truth& truth, const wchar_t* when) {
    EXPECT_TRUE(truth.problem.empty()) << Narrow(Where()) << ": " << Narrow(truth.problem);
    EXPECT_EQ(model_.size(), truth.tasks.size()) << Narrow(Where()) << " after " << Narrow(when);
    if (model_.size() != truth.tasks.size()) return;
    for (size_t i = 0; i < model_.size(); ++i) {
        ModelTask& expected = model_[i];
        const TaskItem& actual = truth.tasks[i];
        if (expected.notesFromRun) {
            expected.notes = actual.ToDo_Notes;  // the framework's words for the refusal
            expected.notesFromRun = false;
        }
        std::string at = Narrow(Where()) + ", task " + std::to_string(i + 1) + " after " + Narrow(when);
        EXPECT_EQ(expected.name, actual.ToDo_Name) << at;
        EXPECT_EQ(expected.notes, actual.ToDo_Notes) << at;
        EXPECT_EQ(expected.category, actual.ToDo_Category) << at;
        EXPECT_EQ(expected.status, actual.ToDo_Status) << at;
        EXPECT_EQ(expected.deleted, actual.ToDo_DeletedFlag) << at;
    }
}

void CommandSequence::CheckRows(CTaskListDlg& dialog, const Truth& truth) {
    std::set<int> expected;
    for (const TaskItem& task : truth.tasks)
        if (ShownByViews(task, views_) && FilterMatch(task, rules_)) expected.insert(task.ToDo_Index);
    std::set<int> listed;
    const std::wstring firstColumn = dialog.Columns().empty() ? L"" : dialog.Columns()[0].name;
    for (int row = 0; row < dialog.RowCount(); ++row) {
        int key = dialog.RowKey(row);
        EXPECT_TRUE(listed.insert(key).second) << Narrow(Where()) << ": key " << key << " listed twice";
        if (key >= 1 && key <= static_cast<int>(truth.tasks.size())) {
            EXPECT_EQ(ColumnText(truth.tasks[key - 1], firstColumn), dialog.List().ItemText(row, 0))
                << Narrow(Where()) << ": row " << row;
        }
    }
    EXPECT_EQ(expected, listed) << Narrow(Where()) << ": the listed keys";
}

// The buttons of the list and what any selected task must not be for each to be enabled
// (with nothing selected, none is).
void CommandSequence::CheckButtons(CTaskListDlg& dialog) {
    enum Trait { Completed = 1, Deferred = 2, Deleted = 4 };
    static const struct {
        int id;
        const char* name;
        int refusedFor;
    } kButtons[] = {
        {IDC_TASKLIST_PROPERTIES, "Properties", 0},
        {IDC_TASKLIST_ACTION, "Action", Completed | Deferred | Deleted},
        {IDC_TASKLIST_DEFER, "Defer", Completed | Deleted},
        {IDC_TASKLIST_DELETE, "Delete", Deleted},
        {IDC_TASKLIST_DELETEFROMSERVER, "Delete from server", 0},
    };
    int traits = 0;
    std::vector<int> keys = dialog.SelectedKeys();
    for (int key : keys) {
        const ModelTask& task = model_.at(static_cast<size_t>(key - 1));
        traits |= (task.status == kStatusCompleted ? Completed : 0) | (task.status == kStatusDeferred ? Deferred : 0) |
                  (task.deleted ? Deleted : 0);
    }
    for (const auto& button : kButtons)
        EXPECT_EQ(!keys.empty() && !(traits & button.refusedFor), Enabled(dialog.hwnd(), button.id))
            << Narrow(Where()) << ": " << button.name << " with " << Narrow(Keys(keys)) << " selected";
}

void CommandSequence::CheckWorkspace(SimWorkspace& sim) {
    std::string at = Narrow(Where());
    DomReadResult file = ReadXmlFile(sim.Path());
    ASSERT_TRUE(file.wellFormed) << at << ": the workspace file is not well-formed: " << Narrow(file.reason);
    EXPECT_EQ(static_cast<size_t>(expectedCount_), file.Named(L"Task").size()) << at << ": tasks in the file";
    EXPECT_EQ(expectedCount_, sim.TaskCount()) << at;
    Truth truth = ReadTruth(sim);
    EXPECT_TRUE(truth.problem.empty()) << at << ": " << Narrow(truth.problem);
    EXPECT_EQ(static_cast<size_t>(expectedCount_), truth.tasks.size()) << at;
    CheckModel(truth, L"the end");
}
