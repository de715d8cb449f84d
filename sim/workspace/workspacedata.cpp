#include "workspacedata.h"

#include "simxmltext.h"

namespace sim {

std::wstring SimTask::FieldText(const TaskFieldInfo& field) const {
    if (field.kind == FieldKind::Integer) return std::to_wstring(integers[field.slot]);
    return texts[field.slot];
}

void SimTask::AppendFieldAttribute(std::wstring& out, const TaskFieldInfo& field) const {
    if (field.kind == FieldKind::Integer)
        AppendAttribute(out, field.name, static_cast<long long>(integers[field.slot]));
    else
        AppendAttribute(out, field.name, texts[field.slot]);
}

} // namespace sim
