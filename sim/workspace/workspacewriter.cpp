#include "workspacewriter.h"

#include "simxmltext.h"

namespace sim {

namespace {

const wchar_t* Flag(bool value) { return value ? L"1" : L"0"; }

// A document kept as the text of an element. CDATA keeps it readable; text that a CDATA
// section cannot hold unchanged ("]]>", or a carriage return that a parser would drop)
// is escaped instead.
void AppendDocumentElement(std::wstring& out, const wchar_t* name, const std::wstring& document) {
    if (document.empty()) return;
    out += L'<';
    out += name;
    out += L'>';
    if (document.find(L"]]>") == std::wstring::npos && document.find(L'\r') == std::wstring::npos) {
        out += L"<![CDATA[";
        out += document;
        out += L"]]>";
    } else {
        AppendCharacterData(out, document);
    }
    out += L"</";
    out += name;
    out += L">\n";
}

void AppendTask(std::wstring& out, const SimTask& task) {
    out += L"<Task";
    for (const TaskFieldInfo& field : TaskFields()) task.AppendFieldAttribute(out, field);
    if (task.failsOnAction) AppendAttribute(out, L"FailsOnAction", L"1");
    if (task.assignments.empty() && task.actionClaims.empty()) {
        out += L"/>\n";
        return;
    }
    out += L">\n";
    AppendDocumentElement(out, L"Assignments", task.assignments);
    AppendDocumentElement(out, L"ActionClaims", task.actionClaims);
    out += L"</Task>\n";
}

} // namespace

std::wstring WriteWorkspace(const WorkspaceData& data) {
    std::wstring out = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QRSimWorkspace";
    AppendAttribute(out, L"Version", L"1");
    AppendAttribute(out, L"Name", data.name);
    AppendAttribute(out, L"User", data.userName);
    out += L">\n<Privileges";
    AppendAttribute(out, L"Delete", Flag(data.privileges.deleteTasks));
    AppendAttribute(out, L"Run", Flag(data.privileges.runTasks));
    AppendAttribute(out, L"Defer", Flag(data.privileges.deferTasks));
    out += L"/>\n<FrameworkData";
    for (size_t i = 0; i < kFrameworkDataNames.size(); ++i)
        AppendAttribute(out, kFrameworkDataNames[i], data.frameworkData[i]);
    out += L"/>\n<Objects>\n";
    for (const SimObject& object : data.objects) {
        out += L"<Object";
        AppendAttribute(out, L"OID", object.oid);
        AppendAttribute(out, L"Name", object.name);
        AppendAttribute(out, L"Locked", Flag(object.locked));
        if (!object.lockedBy.empty()) AppendAttribute(out, L"LockedBy", object.lockedBy);
        out += L"/>\n";
    }
    out += L"</Objects>\n<Tasks>\n";
    for (const SimTask& task : data.tasks) AppendTask(out, task);
    out += L"</Tasks>\n</QRSimWorkspace>\n";
    return out;
}

} // namespace sim
