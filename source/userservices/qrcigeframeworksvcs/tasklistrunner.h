#pragma once
// Builds the task list dialog over the workspace, runs it modally over the parent
// window and returns its end code (IDOK, IDCANCEL, or -1 when it could not be made).
// Failures raised inside the dialog come back as a thrown QRComException.
#include <windows.h>
#include "comidentifiers.h"

INT_PTR RunTaskListDialog(IWorkspace* workspace, HWND parent);
