#pragma once
// The TaskItemList document that GetTaskList answers.
#include <string>
#include "workspacedata.h"

namespace sim {

// One element per line: the Privilege element, then one TaskItem per task with all
// twenty attributes, ToDo_Index numbering the tasks 1 to n in order.
std::wstring WriteTaskItemList(const WorkspaceData& data);

} // namespace sim
