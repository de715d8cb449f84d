#pragma once
// Cell positions and rectangular areas of a worksheet, and their "A1" / "A1:C3" texts.
#include <optional>
#include <string>
#include <string_view>

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

struct CellPosition {
    int row = 1;     // 1-based
    int column = 1;  // 1-based
    bool operator<(const CellPosition& other) const {
        return row != other.row ? row < other.row : column < other.column;
    }
    bool operator==(const CellPosition& other) const { return row == other.row && column == other.column; }
};

struct CellArea {
    CellPosition topLeft;
    int rows = 1;
    int columns = 1;

    int lastRow() const { return topLeft.row + rows - 1; }
    int lastColumn() const { return topLeft.column + columns - 1; }
    bool operator==(const CellArea& other) const {
        return topLeft == other.topLeft && rows == other.rows && columns == other.columns;
    }
};

// "A", ..., "Z", "AA", ... for 1, ..., 26, 27, ...
std::wstring ColumnLetters(int column);
// "D3" for row 3, column 4.
std::wstring CellName(const CellPosition& position);
// "A1" for one cell, "A1:C3" for more.
std::wstring AreaName(const CellArea& area);

// Reads "E3", "$E$3", "a1:c3" (either corner first); nothing for anything else or for
// cells outside the sheet.
std::optional<CellArea> ParseArea(std::wstring_view text);

// The area of the same top-left cell with another size; nothing when it leaves the sheet.
std::optional<CellArea> ResizedArea(const CellArea& area, int rows, int columns);
