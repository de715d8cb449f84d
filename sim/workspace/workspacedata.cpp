#include "workspacedata.h"

namespace sim {

std::wstring SimTask::FieldText(const TaskFieldInfo& field) const {
    if (field.kind == FieldKind::Integer) return std::to_wstring(integers[field.slot]);
    return texts[field.slot];
}

} // namespace sim
