// Random sequences of To Do list commands over the simulated workspace, seeded and
// reproducible: each run and checked, the model loaded from the workspace, the rows and
// the workspace itself compared with it after every command. The seed is printed;
// QRC_SEQUENCE_SEED chooses another one, QRC_SEQUENCE_COUNT the number of sequences and
// QRC_SEQUENCE_INDEX replays one. QRC_SEQUENCE_SHARDS=n with QRC_SEQUENCE_SHARD=k
// (0 <= k < n) runs every n-th batch from the k-th, so that n processes share the
// sequences; each sequence stays the same.
#include "sequences_runner.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <iostream>
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

// The workspace's tasks as the framework lists them now.
struct Truth {
    std::vector<TaskItem> tasks;
    std::wstring problem;  // not well-formed, or not numbered 1..n
};

namespace {

constexpr uint64_t kDefaultSeed = 20261206;
constexpr int kDefaultCount = 1000;
constexpr int kBatch = 50;

struct BatchResult {
    int sequences = 0;  // run
    int commands = 0;   // carried out by them
    bool failed = false;
};

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
        task.ToDo_Description = text(L"ToDo_Description");
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

// Where the workspace copies go: the simulated framework flushes the file at every change,
// so a memory file system (/dev/shm, Z: to Wine) spares minutes. QRC_SEQUENCE_FOLDER names another.
std::wstring WorkspaceFolder() {
    wchar_t named[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"QRC_SEQUENCE_FOLDER", named, MAX_PATH);
    if (n > 0 && n < MAX_PATH) return named;
    const wchar_t* memory = L"Z:\\dev\\shm\\";
    DWORD attributes = GetFileAttributesW(memory);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return memory;
    return L"";
}

// The failures of the running test so far (nothing else records a part): a sequence
// failed when the number grew.
int FailedParts() { return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count(); }

} // namespace

CommandSequence::CommandSequence(uint64_t seed, int index)
    : seed_(seed), index_(index), random_(seed, static_cast<uint64_t>(index)) {}

std::wstring CommandSequence::Where() const {
    return L"sequence " + std::to_wstring(index_) + L" of seed " + std::to_wstring(seed_) + L", command " +
           std::to_wstring(commands_);
}

// Opens the To Do list once and runs the sequences first .. first + count - 1 of the seed
// on it, each on a fresh copy of the sample workspace; stops after a failed one.
static BatchResult RunSequenceBatch(uint64_t seed, int first, int count) {
    SettingsStore store;  // all views on and the default columns, as every sequence starts
    SimWorkspace sim(L"", WorkspaceFolder());
    if (!sim.ok()) {
        ADD_FAILURE() << "QRSim.Workspace must be registered (register-components.sh)";
        return {0, 0, true};
    }
    BatchResult result;
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
        CheckRows(dialog, ReadTruth(sim));
        for (int i = 0, length = random_.Between(3, 8); i < length; ++i) {
            ++commands_;
            Step(dialog, boxes);
            Truth truth = ReadTruth(sim);
            CheckModel(truth, log_.empty() ? L"" : log_.back().c_str());
            CheckRows(dialog, truth);
            if (FailedParts() != failedBefore) break;  // what follows would only repeat the fault
        }
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
        model_.push_back({t.ToDo_Name, t.ToDo_Description, t.ToDo_Notes, t.ToDo_Category, t.ToDo_Status,
                          t.ToDo_DeletedFlag, fails[i], false});
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
        EXPECT_EQ(expected.description, actual.ToDo_Description) << at;
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

void CommandSequence::CheckWorkspace(SimWorkspace& sim) {
    std::string at = Narrow(Where());
    DomReadResult file = ReadXmlFile(sim.Path());
    ASSERT_TRUE(file.wellFormed) << at << ": the workspace file is not well-formed: " << Narrow(file.reason);
    EXPECT_EQ(model_.size(), file.Named(L"Task").size()) << at << ": tasks in the file";
    CheckModel(ReadTruth(sim), L"the end");
}

TEST(CommandSequences, EverySequenceLeavesAWellFormedWorkspaceNumberedOneToN) {
    const uint64_t seed = EnvironmentNumber(L"QRC_SEQUENCE_SEED", kDefaultSeed);
    const int count = static_cast<int>(EnvironmentNumber(L"QRC_SEQUENCE_COUNT", kDefaultCount));
    const uint64_t only = EnvironmentNumber(L"QRC_SEQUENCE_INDEX", UINT64_MAX);
    const int shards = static_cast<int>(std::max<uint64_t>(1, EnvironmentNumber(L"QRC_SEQUENCE_SHARDS", 1)));
    const int shard = static_cast<int>(EnvironmentNumber(L"QRC_SEQUENCE_SHARD", 0));
    ASSERT_LT(shard, shards);
    std::cout << "[ sequences ] seed " << seed << (only != UINT64_MAX ? ", index " + std::to_string(only) : "")
              << std::endl;
    auto start = std::chrono::steady_clock::now();
    int run = 0, commands = 0, failedBatches = 0;
    auto add = [&](const BatchResult& batch) {
        run += batch.sequences;
        commands += batch.commands;
        if (batch.failed) ++failedBatches;
    };
    int expected = 0;
    if (only != UINT64_MAX) {
        expected = 1;
        add(RunSequenceBatch(seed, static_cast<int>(only), 1));
    } else {
        // Several sequences share one opening of the dialog; a failed one ends its batch.
        for (int first = shard * kBatch; first < count; first += shards * kBatch) {
            expected += std::min(kBatch, count - first);
            if (failedBatches < 3) add(RunSequenceBatch(seed, first, std::min(kBatch, count - first)));
        }
    }
    ASSERT_GT(expected, 0) << "no sequence falls to shard " << shard << " of " << shards << " of " << count;
    if (failedBatches == 0) {
        EXPECT_EQ(expected, run) << "sequences run";
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ sequences ] " << run << " sequences, " << commands << " commands, seed " << seed;
    if (shards > 1) std::cout << ", shard " << shard << " of " << shards;
    std::cout << ", " << seconds << " s" << std::endl;
}
