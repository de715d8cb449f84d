#pragma once
// Reads a workspace file's text (docs/workspace-format.md) into its state.
#include <string_view>
#include "workspacedata.h"

namespace sim {

// Throws a QRComException (E_INVALIDARG) naming what is wrong: text that is not
// well-formed or carries a document type declaration, another root element or version,
// unknown elements or attributes, integers that are not decimal numbers or lie outside
// their field's codes, flags other than 0, 1, true, false, objects without or with
// repeated identifiers.
WorkspaceData ReadWorkspace(std::wstring_view text);

} // namespace sim
