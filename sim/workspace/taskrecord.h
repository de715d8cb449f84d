#pragma once
// The "TaskItem" record of a request, read with the types the framework requires:
// VT_I4 for ToDo_Index, Count and the codes, VT_BSTR for texts, VT_R8 for dates.
#include <initializer_list>
#include "requestinput.h"
#include "workspacedata.h"

namespace sim {

class TaskRecord {
public:
    // Throws a QRComException when the request holds no complete record.
    TaskRecord(const RequestInput& input, const wchar_t* method);

    // Fails for any field that is neither a task field (when allowed) nor one of `extra`.
    void AllowFields(bool taskFields, std::initializer_list<const wchar_t*> extra) const;
    // A VT_I4 field that must be there.
    long RequireLong(const wchar_t* name) const;
    bool Has(const wchar_t* name) const { return Find(name) != nullptr; }
    // Checks and writes every task field of the record into `task`; others are skipped.
    void ApplyTaskFields(SimTask& task) const;

private:
    const RequestField* Find(const wchar_t* name) const;

    const RequestInput& input_;
    const wchar_t* method_;
};

} // namespace sim
