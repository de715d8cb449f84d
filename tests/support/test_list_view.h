#pragma once
// A report-view list view in a hidden window, filled by the test.
#include <windows.h>
#include <string>
#include <vector>
#include "winkit/unique_handle.h"

class TestListView {
public:
    explicit TestListView(const std::vector<std::wstring>& columnNames);

    // Appends a row; texts beyond the columns are ignored, missing ones stay empty.
    void AddRow(const std::vector<std::wstring>& texts);
    // The order the user dragged the columns to (LVM_SETCOLUMNORDERARRAY).
    void SetColumnOrder(const std::vector<int>& order);
    std::vector<int> ColumnOrder() const;

    HWND list() const { return list_; }
    HWND window() const { return window_.get(); }

private:
    winkit::UniqueHWnd window_;
    HWND list_ = nullptr;
    int columns_ = 0;
};
