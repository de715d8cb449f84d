#pragma once
// The task list's view settings in the client tools' settings store:
//
//   <root>/ToDoListSettings/Options      ShowDeleted, ShowOpen, ShowDeferred, ShowCompleted ("1"/"0")
//   <root>/ToDoListSettings/Columns/<i>  Name, Width (pixels), for display positions i = 0, 1, ...
//
// Failures of the store are raised as _com_error and end the load or store where they
// happen.
#include <optional>
#include <string>
#include <vector>
#include "tasklistcolumns.h"

// Reads the four view flags (absent: on; otherwise on exactly when the text reads as
// the number 1) and replaces the column set by the stored entries up to the first
// without a Name (absent Width: 100). Without any entry, the default set.
void LoadViewSettings(ViewFlags& views, ColumnSet& columns);

// A column as the list shows it, in display order.
struct ShownColumn {
    std::wstring name;
    std::optional<int> width;  // empty when the list could not say
};

// Writes the four flags and the shown columns; the column loop stops at the first Name
// the store refuses. Entry <count of shown> is then closed with EndEntries.
void StoreViewSettings(const ViewFlags& views, const std::vector<ShownColumn>& shown);
