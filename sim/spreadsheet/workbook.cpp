#include "workbook.h"

#include <algorithm>

const Cell* Worksheet::Find(const CellPosition& position) const {
    auto found = cells_.find(position);
    return found == cells_.end() ? nullptr : &found->second;
}

double Worksheet::ColumnWidth(int column) const {
    auto found = widths_.find(column);
    return found == widths_.end() ? kStandardColumnWidth : found->second;
}

void Worksheet::Tidy(const CellPosition& position) {
    auto found = cells_.find(position);
    if (found != cells_.end() && !found->second.value && !found->second.bold) cells_.erase(found);
}

void Worksheet::SetValue(const CellArea& area, const std::optional<CellValue>& value) {
    for (int r = area.topLeft.row; r <= area.lastRow(); ++r) {
        for (int c = area.topLeft.column; c <= area.lastColumn(); ++c) {
            cells_[{r, c}].value = value;
            Tidy({r, c});
        }
    }
}

void Worksheet::SetValues(const CellArea& area, const ValueGrid& grid) {
    size_t rows = std::min(grid.size(), static_cast<size_t>(area.rows));
    for (size_t r = 0; r < rows; ++r) {
        size_t columns = std::min(grid[r].size(), static_cast<size_t>(area.columns));
        for (size_t c = 0; c < columns; ++c) {
            CellPosition position{area.topLeft.row + static_cast<int>(r), area.topLeft.column + static_cast<int>(c)};
            cells_[position].value = grid[r][c];
            Tidy(position);
        }
    }
}

void Worksheet::SetColumnWidth(const CellArea& area, double width) {
    for (int c = area.topLeft.column; c <= area.lastColumn(); ++c) widths_[c] = width;
}

void Worksheet::SetBold(const CellArea& area, bool bold) {
    for (int r = area.topLeft.row; r <= area.lastRow(); ++r) {
        for (int c = area.topLeft.column; c <= area.lastColumn(); ++c) {
            cells_[{r, c}].bold = bold;
            Tidy({r, c});
        }
    }
}

Workbook Workbook::New() {
    Workbook book;
    for (const wchar_t* name : {L"Sheet1", L"Sheet2", L"Sheet3"}) book.sheets.emplace_back(name);
    return book;
}
