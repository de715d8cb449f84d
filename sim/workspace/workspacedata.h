#pragma once
// The state of one workspace, as its file holds it.
#include <array>
#include <string>
#include <vector>
#include "taskfields.h"

namespace sim {

struct SimTask {
    std::array<std::wstring, kTaskTextCount> texts;
    std::array<long, kTaskIntegerCount> integers = {};
    std::wstring assignments;    // the task's assignments document, kept as text
    bool failsOnAction = false;  // ActionTask answers "Error" and sets the status Error
    std::wstring actionClaims;   // ActionTask answers this claims document

    std::wstring& Text(TaskText field) { return texts[static_cast<size_t>(field)]; }
    const std::wstring& Text(TaskText field) const { return texts[static_cast<size_t>(field)]; }
    long& Integer(TaskInteger field) { return integers[static_cast<size_t>(field)]; }
    long Integer(TaskInteger field) const { return integers[static_cast<size_t>(field)]; }

    // The value of a field of the table as the TaskItemList document writes it.
    std::wstring FieldText(const TaskFieldInfo& field) const;
    // The field as an attribute, escaped, appended to a document being written: a
    // 100,000-task list would otherwise make two million short-lived strings.
    void AppendFieldAttribute(std::wstring& out, const TaskFieldInfo& field) const;
};

struct Privileges {
    bool deleteTasks = false;
    bool runTasks = false;
    bool deferTasks = false;
};

// An engineering object that SynchronizeObjectClaim knows.
struct SimObject {
    std::wstring oid;
    std::wstring name;
    bool locked = false;
    std::wstring lockedBy;
};

// The framework data attribute names, in the order the document carries them.
inline constexpr std::array<const wchar_t*, 10> kFrameworkDataNames = {
    L"EFURL", L"EFPLANT", L"EFSIGNATURE", L"TEFVERSION", L"EFUID",
    L"EFNAME", L"RESTORE", L"PLANTNAME", L"AREANAME", L"UNITNAME",
};

struct WorkspaceData {
    std::wstring name;
    std::wstring userName;  // empty: callers use the operating system's name
    Privileges privileges;
    std::array<std::wstring, kFrameworkDataNames.size()> frameworkData;
    std::vector<SimObject> objects;
    std::vector<SimTask> tasks;  // the task with ToDo_Index k is tasks[k - 1]
};

} // namespace sim
