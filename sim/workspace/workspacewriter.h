#pragma once
// The workspace file's text (its layout is described in docs/workspace-format.md).
#include <string>
#include "workspacedata.h"

namespace sim {

// One element per line; every text escaped. The caller checks beforehand that the
// texts hold only characters XML can carry (the request validation does).
std::wstring WriteWorkspace(const WorkspaceData& data);

} // namespace sim
