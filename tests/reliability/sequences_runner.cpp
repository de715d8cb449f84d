// One random sequence run and checked: the model loaded from the workspace, the rows,
// the buttons and the workspace itself compared with it after every command.
#include "sequences_runner.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "reliability_text.h"
#include "support/dialog_driver.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "support/settings_store.h"
#include "support/sim_workspace.h"
#include "support/xml_dom.h"
#include "winkit/com_ptr.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistdlg.h"

namespace {

Truth ReadTruth(SimWorkspace& sim) {
    Truth truth;
    DomReadResult answer = ReadXmlText(sim.CallFramework(L"GetTaskList", L""));
    if (!answer.wellFormed) {
        truth.problem = L"the TaskItemList answer is not well-formed: " + answer.reason;
        return truth;
    }
    for (const DomElementInfo* element : answer.Named(L"TaskItem")) {
        auto text = [&](const wchar_t* name) { return DomReadResult::Attribute(*element, name); };
        auto number = [&](const wchar_t* name) { return _wtoi(text(name).c_str()); };
        TaskItem task;
        task.ToDo_Index = number(L"ToDo_Index");
        task.ToDo_Name = text(L"ToDo_Name");
        task.ToDo_Notes = text(L"ToDo_Notes");
        task.ToDo_Category = number(L"ToDo_Category");
        task.ToDo_Status = number(L"ToDo_Status");
        task.ToDo_DeletedFlag = number(L"ToDo_DeletedFlag");
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
    DomReadResult document = ReadXmlText(claims);  // the elements Named points into
    for (const DomElementInfo* claim : document.Named(L"Claim")) {
        std::wstring locked = DomReadResult::Attribute(*claim, L"Locked");
        std::wstring by = DomReadResult::Attribute(*claim, L"LockedBy");
        bool held = locked == L"1" || locked == L"true";
        if (held && (by.empty() || CompareStringOrdinal(by.c_str(), -1, user.c_str(), -1, TRUE) != CSTR_EQUAL)) return true;
    }
    return false;
}

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
                // A fresh copy of the workspace, listed again as the dialog opens.
                EXPECT_TRUE(sim.Renew());
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
        Step(dialog, boxes);
        Truth truth = ReadTruth(sim);
        CheckModel(truth, log_.empty() ? L"" : log_.back().c_str());
        CheckRows(dialog, truth);
        CheckButtons(dialog);
        if (FailedParts() != failedBefore) break;  // what follows would only repeat the fault
    }
}

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

// Every task listed once (all views on, no rules), each row showing its own task's name.
void CommandSequence::CheckRows(CTaskListDlg& dialog, const Truth& truth) {
    std::set<int> listed, expected;
    for (const TaskItem& task : truth.tasks) expected.insert(task.ToDo_Index);
    for (int row = 0; row < TaskListDialogAccess::RowCount(dialog); ++row) {
        int key = TaskListDialogAccess::RowKey(dialog, row);
        EXPECT_TRUE(listed.insert(key).second) << Narrow(Where()) << ": key " << key << " listed twice";
        if (key >= 1 && key <= static_cast<int>(truth.tasks.size())) {
            EXPECT_EQ(ColumnText(truth.tasks[key - 1], L"Task Name"), TaskListDialogAccess::List(dialog).ItemText(row, 0))
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
    std::vector<int> keys = TaskListDialogAccess::SelectedKeys(dialog);
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
    EXPECT_EQ(model_.size(), file.Named(L"Task").size()) << at << ": tasks in the file";
    CheckModel(ReadTruth(sim), L"the end");
}
