#pragma once
// What a user does with the mouse, done with the messages the controls send, on the
// windows of this thread. Used by the recorded walk-through.
#include <windows.h>
#include <string>

namespace demo {

// A dialog of this process with the caption, or null.
HWND FindDialog(const std::wstring& caption);
// A dialog whose caption starts with the text, or null.
HWND FindDialogStartingWith(const std::wstring& prefix);
// The child dialog (a page) of `dialog` that holds the control.
HWND FindPageWith(HWND dialog, int controlId);

// List views.
int RowCount(HWND list);
// The first row whose cell in `column` reads `text`, or -1. (The list asks its dialog for
// every text and keeps no item data of its own.)
int RowWithText(HWND list, int column, const std::wstring& text);
std::wstring CellText(HWND list, int row, int column);
int RowImage(HWND list, int row);
void SelectOnly(HWND list, int row);
// A header click as the header control tells the list view.
void ClickHeader(HWND list, int column);
// A click on a row, x pixels from its left edge, as the list tells its parent.
void ClickRow(HWND list, UINT code, int row, int x);

// Tabs: the user picks one; the control asks its parent, changes, tells.
void PickTab(HWND dialog, int tabControlId, int index);

// Posted so that a command which opens a modal dialog returns to the message loop.
void PostCommand(HWND dialog, int id);

} // namespace demo
