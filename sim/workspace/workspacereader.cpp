#include "workspacereader.h"

#include <algorithm>
#include <initializer_list>
#include "decimal.h"
#include "saxelementreader.h"
#include "simerror.h"

namespace sim {

namespace {

constexpr const wchar_t* kWhat = L"The workspace file";

void CheckAttributes(const XmlElement& element, const wchar_t* where, std::initializer_list<const wchar_t*> known,
                     bool allowTaskFields = false) {
    for (const XmlAttribute& attribute : element.attributes) {
        const std::wstring& name = attribute.name;
        bool ok = std::any_of(known.begin(), known.end(), [&](const wchar_t* k) { return name == k; }) ||
                  (allowTaskFields && FindTaskField(name));
        if (!ok) Fail(E_INVALIDARG, L"%ls has an unknown attribute '%ls' on %ls", kWhat, name.c_str(), where);
    }
}

bool ReadFlag(const XmlElement& element, const wchar_t* name, const wchar_t* where) {
    std::wstring text = element.Attribute(name);
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

SimTask ReadTask(const XmlElement& element, const std::wstring& where) {
    CheckAttributes(element, where.c_str(), {L"FailsOnAction"}, true);
    SimTask task;
    for (const TaskFieldInfo& field : TaskFields()) {
        std::wstring text = element.Attribute(field.name);
        if (field.kind == FieldKind::Integer) task.integers[field.slot] = ReadInteger(text, field, where.c_str());
        else task.texts[field.slot] = std::move(text);
    }
    task.failsOnAction = ReadFlag(element, L"FailsOnAction", where.c_str());
    return task;
}

SimObject ReadObject(const XmlElement& element, const WorkspaceData& data) {
    if (element.name != L"Object")
        Fail(E_INVALIDARG, L"%ls has an unknown element '%ls' in Objects", kWhat, element.name.c_str());
    CheckAttributes(element, L"an Object", {L"OID", L"Name", L"Locked", L"LockedBy"});
    SimObject object;
    object.oid = element.Attribute(L"OID");
    if (object.oid.empty()) Fail(E_INVALIDARG, L"%ls has an Object without OID", kWhat);
    bool repeated = std::any_of(data.objects.begin(), data.objects.end(),
                                [&](const SimObject& other) { return other.oid == object.oid; });
    if (repeated) Fail(E_INVALIDARG, L"%ls has more than one Object with the OID '%ls'", kWhat, object.oid.c_str());
    object.name = element.Attribute(L"Name");
    object.locked = ReadFlag(element, L"Locked", object.oid.c_str());
    object.lockedBy = element.Attribute(L"LockedBy");
    return object;
}

// The file's elements as they come: the root, its sections, their objects and tasks, and
// a task's two texts. Whatever lies deeper is passed over.
class WorkspaceVisitor final : public XmlElementVisitor {
public:
    WorkspaceData data;

    bool OnStart(const XmlElement& element) override {
        switch (element.depth) {
        case 0: ReadRoot(element); return false;
        case 1: section_ = ReadSection(element); return false;
        case 2:
            if (section_ == Section::Objects) data.objects.push_back(ReadObject(element, data));
            if (section_ != Section::Tasks) return false;
            if (element.name != L"Task")
                Fail(E_INVALIDARG, L"%ls has an unknown element '%ls' in Tasks", kWhat, element.name.c_str());
            where_ = L"task " + std::to_wstring(data.tasks.size() + 1);
            data.tasks.push_back(ReadTask(element, where_));
            return false;
        case 3:
            if (section_ != Section::Tasks) return false;
            if (element.name == L"Assignments") taskText_ = &data.tasks.back().assignments;
            else if (element.name == L"ActionClaims") taskText_ = &data.tasks.back().actionClaims;
            else Fail(E_INVALIDARG, L"%ls has an unknown element '%ls' in %ls", kWhat, element.name.c_str(), where_.c_str());
            return true;
        default: return false;
        }
    }

    void OnEnd(size_t depth, std::wstring& text) override {
        if (depth == 3 && taskText_) {
            *taskText_ = std::move(text);
            taskText_ = nullptr;
        }
    }

private:
    enum class Section { Other, Objects, Tasks };

    void ReadRoot(const XmlElement& root) {
        if (root.name != L"QRSimWorkspace")
            Fail(E_INVALIDARG, L"%ls has the root element '%ls' instead of 'QRSimWorkspace'", kWhat, root.name.c_str());
        CheckAttributes(root, L"QRSimWorkspace", {L"Version", L"Name", L"User"});
        std::wstring version = root.Attribute(L"Version");
        if (!version.empty() && version != L"1")
            Fail(E_INVALIDARG, L"%ls has the version '%ls'; version 1 is expected", kWhat, version.c_str());
        data.name = root.Attribute(L"Name");
        data.userName = root.Attribute(L"User");
    }

    Section ReadSection(const XmlElement& element) {
        const std::wstring& name = element.name;
        if (name == L"Privileges") {
            CheckAttributes(element, L"Privileges", {L"Delete", L"Run", L"Defer"});
            data.privileges.deleteTasks = ReadFlag(element, L"Delete", L"Privileges");
            data.privileges.runTasks = ReadFlag(element, L"Run", L"Privileges");
            data.privileges.deferTasks = ReadFlag(element, L"Defer", L"Privileges");
            return Section::Other;
        }
        if (name == L"FrameworkData") {
            CheckAttributes(element, L"FrameworkData", {L"EFURL", L"EFPLANT", L"EFSIGNATURE", L"TEFVERSION", L"EFUID",
                                                        L"EFNAME", L"RESTORE", L"PLANTNAME", L"AREANAME", L"UNITNAME"});
            for (size_t i = 0; i < kFrameworkDataNames.size(); ++i)
                data.frameworkData[i] = element.Attribute(kFrameworkDataNames[i]);
            return Section::Other;
        }
        if (name == L"Objects") return Section::Objects;
        if (name == L"Tasks") return Section::Tasks;
        Fail(E_INVALIDARG, L"%ls has an unknown element '%ls'", kWhat, name.c_str());
    }

    Section section_ = Section::Other;
    std::wstring where_;                  // the current task, as messages name it
    std::wstring* taskText_ = nullptr;    // the task text being read
};

} // namespace

WorkspaceData ReadWorkspace(std::wstring_view text) {
    WorkspaceVisitor visitor;
    ReadXmlElements(text, kWhat, visitor);
    return std::move(visitor.data);
}

} // namespace sim
