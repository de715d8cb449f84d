// The To Do list on 10,000 and 100,000 tasks: opening (fetch, parse, fill with the
// default fourteen columns) against the bare SAX reader on the same text, and sorting by
// a date column against sorting by a text column and against the open.
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "benchmark.h"
#include "frameworkgateway.h"
#include "saxidentifiers.h"
#include "taskitemcollection.h"
#include "support/fake_workspace.h"
#include "support/settings_store.h"
#include "support/tasklist_dialog_access.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace {

// A small deterministic generator, so that every run measures the same document.
class Numbers {
public:
    unsigned Next(unsigned below) {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 8) % below;
    }

private:
    unsigned state_ = 20261205u;
};

std::wstring DateText(Numbers& n) {
    if (n.Next(20) == 0) return L"";  // one in twenty never set
    wchar_t text[32];
    std::swprintf(text, 32, L"20%02u-%02u-%02u %02u:%02u:%02u", 24 + n.Next(3), 1 + n.Next(12), 1 + n.Next(28),
                  n.Next(24), n.Next(60), n.Next(60));
    return text;
}

// A TaskItemList document as the framework writes it: one element per line.
std::wstring TaskListText(int taskCount) {
    static const wchar_t* const kObjects[] = {L"pump", L"valve", L"line", L"vessel", L"exchanger", L"transmitter"};
    static const wchar_t* const kUsers[] = {L"PLANT\\jdoe", L"PLANT\\kmueller", L"PLANT\\asmith", L"PLANT\\lnguyen"};
    Numbers n;
    std::wstring text = L"<?xml version=\"1.0\"?>\n<TaskItemList>\n<Privilege Delete=\"1\" Run=\"1\" Defer=\"1\"/>\n";
    text.reserve(static_cast<size_t>(taskCount) * 560);
    for (int i = 1; i <= taskCount; ++i) {
        std::wstring object = kObjects[n.Next(6)];
        std::wstring tag = L"U" + std::to_wstring(100 + n.Next(900)) + L"-" + std::to_wstring(i);
        text += L"<TaskItem ToDo_Index=\"" + std::to_wstring(i) + L"\" ToDo_Name=\"" + object + L" " + tag +
                L"\" ToDo_Description=\"Bring " + object + L" " + tag + L" in line with its P&amp;ID" +
                L"\" ToDo_Notes=\"\" ToDo_Class=\"Equipment\" ToDo_ItemName=\"" + tag + L"\" ToDo_CreatedDate=\"" +
                DateText(n) + L"\" ToDo_CreatedBy=\"" + kUsers[n.Next(4)] + L"\" ToDo_ModifiedDate=\"" + DateText(n) +
                L"\" ToDo_ModifiedBy=\"" + kUsers[n.Next(4)] + L"\" ToDo_RunDate=\"" + DateText(n) +
                L"\" ToDo_RunBy=\"" + kUsers[n.Next(4)] + L"\" ToDo_DeletedDate=\"\" ToDo_DeletedBy=\"\"" +
                L" ToDo_EngineeringTool=\"QRPlantDesign\" ToDo_SrcDocName=\"0101-PID-" + std::to_wstring(n.Next(90)) +
                L"\" ToDo_SrcDocType=\"P&amp;ID\" ToDo_Category=\"" + std::to_wstring(n.Next(7)) +
                L"\" ToDo_Status=\"" + std::to_wstring(n.Next(5)) + L"\" ToDo_DeletedFlag=\"" +
                (n.Next(10) == 0 ? L"1" : L"0") + L"\"/>\n";
    }
    text += L"</TaskItemList>\n";
    return text;
}

// The dialog made as a window of its own (not run modally): its opening runs in Create.
struct OpenDialog {
    std::unique_ptr<CTaskListDlg> dialog;
    explicit OpenDialog(IWorkspace* workspace) : dialog(new CTaskListDlg(workspace)) { dialog->Create(nullptr); }
};

// A workspace whose task list is the text, over the client tools' settings store with
// nothing stored.
struct BenchWorkspace {
    SettingsStore store;
    RequestScript script;
    testcom::Fake<FakeWorkspace> workspace;
    explicit BenchWorkspace(const std::wstring& text) {
        if (!store.problem().empty()) std::fprintf(stderr, "no settings store:%ls\n", store.problem().c_str());
        script.outputs[L"GetTaskList"] = text;
        workspace->UseScript(script);
    }
};


double PeakWorkingSetMegabytes() {
    PROCESS_MEMORY_COUNTERS counters = {sizeof counters};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / 1048576.0;
}

// The open against the bare reader on the same text, in turns, each side at its fastest
// round. A round allocates and touches tens of megabytes and makes twenty windows, so its
// times scatter widely on a shared machine: small lists take many rounds. The note gives
// the open's two parts measured apart: the dialog over an empty list (its windows, which
// no list length changes) and the fetch alone (the host's answer and the records).
Comparison OpenAgainstBareReader(int taskCount, int rounds) {
    std::wstring text = TaskListText(taskCount);
    BenchWorkspace bench(text);
    BenchWorkspace empty(L"<TaskItemList/>");
    winkit::UniqueBstr document = winkit::UniqueBstr::Copy(text);
    text = std::wstring();
    const double peakBefore = PeakWorkingSetMegabytes();
    auto open = [&](BenchWorkspace& over, int rows) {
        return Timed(WallSeconds, 1, [&] {
            auto opened = std::make_unique<OpenDialog>(over.workspace.get());
            Require(TaskListDialogAccess::RowCount(*opened->dialog) == rows, "every task listed");
            return opened;
        });
    };
    Comparison result;
    result.measured = open(bench, taskCount);  // first, so that the peak it sets is its own
    const double peakGrowth = PeakWorkingSetMegabytes() - peakBefore;
    Comparison rest = Compare(rounds, [&] { return open(bench, taskCount); },
                              [&] { return Timed(WallSeconds, 1, [&] { return ParseBare(document.get()), 0; }); });
    result.measured = std::min(result.measured, rest.measured);
    result.baseline = rest.baseline;
    Comparison parts = Compare(rounds, [&] { return open(empty, 0); }, [&] {
        return Timed(WallSeconds, 1, [&] {
            auto tasks = std::make_unique<TaskItemCollection>();
            FetchTaskList(bench.workspace.get(), *tasks);
            Require(tasks->Items().size() == static_cast<size_t>(taskCount), "every task fetched");
            return tasks;
        });
    });
    char note[128];
    std::snprintf(note, sizeof note, "peak-working-set-growth=%.0fMB empty-list-open=%.4fs fetch=%.4fs", peakGrowth,
                  parts.measured, parts.baseline);
    result.note = note;
    return result;
}

// Sorts the open dialog by "Created Date", starting from the rows as "Task Name" ordered
// them; returns the seconds of the date sort.
double SortByDateFromName(CTaskListDlg& dialog) {
    const int taskName = 0, createdDate = 3;
    TaskListDialogAccess::SortByColumn(dialog, taskName);
    return Timed(WallSeconds, 1, [&] { return TaskListDialogAccess::SortByColumn(dialog, createdDate), 0; });
}

} // namespace

QRC_BENCHMARK("open-10k", 1.3) { return OpenAgainstBareReader(10000, 31); }

QRC_BENCHMARK("open-100k", 1.3) { return OpenAgainstBareReader(100000, 3); }

QRC_BENCHMARK("sort-date", 2) {
    BenchWorkspace bench(TaskListText(10000));
    OpenDialog open(bench.workspace.get());
    const int taskName = 0, createdDate = 3;
    // Each sort starts from the rows as the other column ordered them.
    auto sortFrom = [&](int from, int by) {
        TaskListDialogAccess::SortByColumn(*open.dialog, from);
        return Timed(WallSeconds, 1, [&] { return TaskListDialogAccess::SortByColumn(*open.dialog, by), 0; });
    };
    return Compare(9, [&] { return sortFrom(taskName, createdDate); }, [&] { return sortFrom(createdDate, taskName); });
}

// The first sort after the open parses the dates: it is the one measured.
QRC_BENCHMARK("sort-100k", 0.15) {
    BenchWorkspace bench(TaskListText(100000));
    auto opened = [&] {
        auto dialog = std::make_unique<OpenDialog>(bench.workspace.get());
        Require(TaskListDialogAccess::RowCount(*dialog->dialog) == 100000, "every task listed");
        return dialog;
    };
    return Compare(3, [&] {
        auto dialog = opened();
        return SortByDateFromName(*dialog->dialog);
    }, [&] { return Timed(WallSeconds, 1, opened); });
}
