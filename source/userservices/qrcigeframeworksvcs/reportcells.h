#pragma once
// The two cell blocks of the To Do list report: arrays of VARIANTs with lower bound 1
// in both dimensions, the first dimension being the row, every element a VT_BSTR.
#include <windows.h>
#include <string>
#include <vector>
#include "winkit/unique_safearray.h"

// One row: the column names in column-set order.
winkit::UniqueSafeArray HeaderBlock(const std::vector<std::wstring>& columnNames);

// rows x columns: element (r, c) is list row r, sub-item c (the column set's order, not
// the order the user dragged the columns to). Rows past the listed ones get empty texts.
winkit::UniqueSafeArray DataBlock(HWND listView, size_t rows, size_t columns);
