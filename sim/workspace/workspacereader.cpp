#include "workspacereader.h"

#include <algorithm>
#include <initializer_list>
#include "decimal.h"
#include "domreader.h"
#include "simerror.h"

namespace sim {

namespace {

constexpr const wchar_t* kWhat = L"The workspace file";

void CheckAttributes(IXMLDOMElement* element, const wchar_t* where, std::initializer_list<const wchar_t*> known,
                     bool allowTaskFields = false) {
    for (const std::wstring& name : DomReader::AttributeNames(element)) {
        bool ok = std::any_of(known.begin(), known.end(), [&](const wchar_t* k) { return name == k; }) ||
                  (allowTaskFields && FindTaskField(name));
        if (!ok) Fail(E_INVALIDARG, L"%ls has an unknown attribute '%ls' on %ls", kWhat, name.c_str(), where);
    }
}

bool ReadFlag(IXMLDOMElement* element, const wchar_t* name, const wchar_t* where) {
    std::wstring text = DomReader::Attribute(element, name);
    if (text.empty() || text == L"0" || text == L"false") return false;
    if (text == L"1" || text == L"true") return true;
    Fail(E_INVALIDARG, L"%ls has the value '%ls' for %ls of %ls; 0, 1, true or false are expected", kWhat,
         text.c_str(), name, where);
}

long ReadInteger(const std::wstring& text, const TaskFieldInfo& field, const wchar_t* where) {
    if (text.empty()) return 0;
    std::optional<long> value = ParseDecimal(text);
    if (!value || *value < field.minimum || *value > field.maximum)
        Fail(E_INVALIDARG, L"%ls has the value '%ls' for %ls of %ls; a number from %ld to %ld is expected", kWhat,
             text.c_str(), field.name, where, field.minimum, field.maximum);
    return *value;
}

SimTask ReadTask(IXMLDOMElement* element, size_t number) {
    std::wstring where = L"task " + std::to_wstring(number);
    CheckAttributes(element, where.c_str(), {L"FailsOnAction"}, true);
    SimTask task;
    for (const TaskFieldInfo& field : TaskFields()) {
        std::wstring text = DomReader::Attribute(element, field.name);
        if (field.kind == FieldKind::Integer) task.integers[field.slot] = ReadInteger(text, field, where.c_str());
        else task.texts[field.slot] = std::move(text);
    }
    task.failsOnAction = ReadFlag(element, L"FailsOnAction", where.c_str());
    for (const DomElement& child : DomReader::Children(element)) {
        std::wstring name = DomReader::Name(child.get());
        if (name == L"Assignments") task.assignments = DomReader::Text(child.get());
        else if (name == L"ActionClaims") task.actionClaims = DomReader::Text(child.get());
        else Fail(E_INVALIDARG, L"%ls has an unknown element '%ls' in %ls", kWhat, name.c_str(), where.c_str());
    }
    return task;
}

void ReadObjects(IXMLDOMElement* element, WorkspaceData& data) {
    for (const DomElement& child : DomReader::Children(element)) {
        std::wstring name = DomReader::Name(child.get());
        if (name != L"Object") Fail(E_INVALIDARG, L"%ls has an unknown element '%ls' in Objects", kWhat, name.c_str());
        CheckAttributes(child.get(), L"an Object", {L"OID", L"Name", L"Locked", L"LockedBy"});
        SimObject object;
        object.oid = DomReader::Attribute(child.get(), L"OID");
        if (object.oid.empty()) Fail(E_INVALIDARG, L"%ls has an Object without OID", kWhat);
        bool repeated = std::any_of(data.objects.begin(), data.objects.end(),
                                    [&](const SimObject& other) { return other.oid == object.oid; });
        if (repeated) Fail(E_INVALIDARG, L"%ls has more than one Object with the OID '%ls'", kWhat, object.oid.c_str());
        object.name = DomReader::Attribute(child.get(), L"Name");
        object.locked = ReadFlag(child.get(), L"Locked", object.oid.c_str());
        object.lockedBy = DomReader::Attribute(child.get(), L"LockedBy");
        data.objects.push_back(std::move(object));
    }
}

} // namespace

WorkspaceData ReadWorkspace(std::wstring_view text) {
    DomReader reader(text, kWhat);
    DomElement root = reader.Root();
    std::wstring rootName = DomReader::Name(root.get());
    if (rootName != L"QRSimWorkspace")
        Fail(E_INVALIDARG, L"%ls has the root element '%ls' instead of 'QRSimWorkspace'", kWhat, rootName.c_str());
    CheckAttributes(root.get(), L"QRSimWorkspace", {L"Version", L"Name", L"User"});
    std::wstring version = DomReader::Attribute(root.get(), L"Version");
    if (!version.empty() && version != L"1")
        Fail(E_INVALIDARG, L"%ls has the version '%ls'; version 1 is expected", kWhat, version.c_str());

    WorkspaceData data;
    data.name = DomReader::Attribute(root.get(), L"Name");
    data.userName = DomReader::Attribute(root.get(), L"User");
    for (const DomElement& child : DomReader::Children(root.get())) {
        std::wstring name = DomReader::Name(child.get());
        if (name == L"Privileges") {
            CheckAttributes(child.get(), L"Privileges", {L"Delete", L"Run", L"Defer"});
            data.privileges.deleteTasks = ReadFlag(child.get(), L"Delete", L"Privileges");
            data.privileges.runTasks = ReadFlag(child.get(), L"Run", L"Privileges");
            data.privileges.deferTasks = ReadFlag(child.get(), L"Defer", L"Privileges");
        } else if (name == L"FrameworkData") {
            CheckAttributes(child.get(), L"FrameworkData", {L"EFURL", L"EFPLANT", L"EFSIGNATURE", L"TEFVERSION", L"EFUID",
                                                            L"EFNAME", L"RESTORE", L"PLANTNAME", L"AREANAME", L"UNITNAME"});
            for (size_t i = 0; i < kFrameworkDataNames.size(); ++i)
                data.frameworkData[i] = DomReader::Attribute(child.get(), kFrameworkDataNames[i]);
        } else if (name == L"Objects") {
            ReadObjects(child.get(), data);
        } else if (name == L"Tasks") {
            for (const DomElement& task : DomReader::Children(child.get())) {
                std::wstring taskName = DomReader::Name(task.get());
                if (taskName != L"Task")
                    Fail(E_INVALIDARG, L"%ls has an unknown element '%ls' in Tasks", kWhat, taskName.c_str());
                data.tasks.push_back(ReadTask(task.get(), data.tasks.size() + 1));
            }
        } else {
            Fail(E_INVALIDARG, L"%ls has an unknown element '%ls'", kWhat, name.c_str());
        }
    }
    return data;
}

} // namespace sim
