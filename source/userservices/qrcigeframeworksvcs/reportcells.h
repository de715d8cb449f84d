#pragma once
// The two cell blocks of the To Do list report: arrays of VARIANTs with lower bound 1
// in both dimensions, the first dimension being the row, every element a VT_BSTR.
#include <windows.h>
#include <string>
#include <vector>
#include "winkit/unique_safearray.h"

class TaskListModel;

// One row: the column names in column-set order.
winkit::UniqueSafeArray HeaderBlock(const std::vector<std::wstring>& columnNames);

// rows x the column set's size: element (r, c) is the model's text of row r in column set
// entry c. Rows past the listed ones get empty texts.
winkit::UniqueSafeArray DataBlock(const TaskListModel& model, size_t rows);
