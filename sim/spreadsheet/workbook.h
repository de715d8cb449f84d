#pragma once
// What a workbook holds: sheets of cells with values and bold flags, and column widths.
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>
#include "cellarea.h"

// A cell's value: a text (possibly empty), a number or a truth value.
using CellValue = std::variant<std::wstring, double, bool>;

struct Cell {
    std::optional<CellValue> value;  // none: never given a value, or cleared
    bool bold = false;
};

// Values of a block of cells, row by row; a missing value clears its cell.
using ValueGrid = std::vector<std::vector<std::optional<CellValue>>>;

inline constexpr double kStandardColumnWidth = 8.43;

class Worksheet {
public:
    explicit Worksheet(std::wstring name) : name_(std::move(name)) {}

    const std::wstring& name() const { return name_; }
    const std::map<CellPosition, Cell>& cells() const { return cells_; }
    const std::map<int, double>& columnWidths() const { return widths_; }

    const Cell* Find(const CellPosition& position) const;
    double ColumnWidth(int column) const;

    // Every cell of the area gets the value.
    void SetValue(const CellArea& area, const std::optional<CellValue>& value);
    // The grid is laid from the area's top-left cell; what lies outside the area is dropped.
    void SetValues(const CellArea& area, const ValueGrid& grid);
    void SetColumnWidth(const CellArea& area, double width);
    void SetBold(const CellArea& area, bool bold);

private:
    // Drops a cell that holds neither a value nor a format.
    void Tidy(const CellPosition& position);

    std::wstring name_;
    std::map<CellPosition, Cell> cells_;
    std::map<int, double> widths_;
};

struct Workbook {
    std::vector<Worksheet> sheets;

    // A new workbook: three empty sheets named Sheet1 to Sheet3.
    static Workbook New();
};
