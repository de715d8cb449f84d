#pragma once
// One random sequence of To Do list commands driven through the real dialog, with a model
// of the workspace's tasks kept alongside; the seed and the index decide every choice.
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>
#include "support/seeded_random.h"
#include "taskitem.h"

// The selected keys as the log shows them: "{1,3}".
inline std::wstring Keys(const std::vector<int>& keys) {
    std::wstring text = L"{";
    for (size_t i = 0; i < keys.size(); ++i) text += (i ? L"," : L"") + std::to_wstring(keys[i]);
    return text + L"}";
}

inline bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

class CTaskListDlg;
class DialogDriver;
class SimWorkspace;

// What the model expects of one task of the workspace.
struct ModelTask {
    std::wstring name, description, notes;
    int category = 0, status = 0, deleted = 0;
    bool failsWhenRun = false;  // the framework fails it, or its claims are held by another user
    bool notesFromRun = false;  // a failed claim writes the refusal into the notes
};

struct Truth;

class CommandSequence {
public:
    CommandSequence(uint64_t seed, int index);
    // Runs the sequence on the open dialog; every mismatch, and every request the framework
    // refused, is a test failure carrying the sequence's log and how to replay it.
    void Run(CTaskListDlg& dialog, SimWorkspace& sim, DialogDriver& boxes);
    bool Failed() const { return failed_; }
    int Commands() const { return commands_; }

private:
    void Step(CTaskListDlg& dialog, DialogDriver& boxes);

    void SelectRows(CTaskListDlg& dialog, DialogDriver& boxes);
    void Action(CTaskListDlg& dialog, DialogDriver& boxes);
    void Defer(CTaskListDlg& dialog, DialogDriver& boxes);
    void MarkDeleted(CTaskListDlg& dialog, DialogDriver& boxes);
    void DeleteFromServer(CTaskListDlg& dialog, DialogDriver& boxes);
    void ManualTask(CTaskListDlg& dialog, DialogDriver& boxes);
    void Properties(CTaskListDlg& dialog, DialogDriver& boxes);
    void Refresh(CTaskListDlg& dialog, DialogDriver& boxes);

    std::wstring RandomText(int maxPieces, bool lineBreaks);
    // Notes the command as not carried out when its button is disabled.
    bool Disabled(CTaskListDlg& dialog, int id, const wchar_t* command, const std::vector<int>& keys);
    std::vector<int> Press(CTaskListDlg& dialog, int id, const wchar_t* command);
    void ExpectBoxes(const DialogDriver& boxes, size_t before, const std::vector<std::wstring>& texts);

    void LoadModel(SimWorkspace& sim);
    void CheckModel(const Truth& truth, const wchar_t* when);
    void CheckRows(CTaskListDlg& dialog, const Truth& truth);
    void CheckWorkspace(SimWorkspace& sim);
    void Note(const std::wstring& line) { log_.push_back(line); }
    std::wstring Where() const;

    uint64_t seed_;
    int index_;
    SeededRandom random_;
    std::vector<ModelTask> model_;
    std::vector<std::wstring> log_;
    int commands_ = 0;
    bool failed_ = false;
};
