#include "cellarea.h"

#include <algorithm>
#include <cstdlib>
#include <cwctype>

std::wstring ColumnLetters(int column) {
    std::wstring letters;
    for (int n = column; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), static_cast<wchar_t>(L'A' + (n - 1) % 26));
    return letters;
}

std::wstring CellName(const CellPosition& position) {
    return ColumnLetters(position.column) + std::to_wstring(position.row);
}

std::wstring AreaName(const CellArea& area) {
    std::wstring name = CellName(area.topLeft);
    if (area.rows > 1 || area.columns > 1) name += L":" + CellName({area.lastRow(), area.lastColumn()});
    return name;
}

namespace {

std::optional<CellPosition> ParseCell(std::wstring_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == L'$') ++i;
    long long column = 0;
    size_t lettersStart = i;
    while (i < text.size() && std::iswalpha(text[i]) && text[i] < 128 && column <= kMaxColumns) {
        column = column * 26 + (std::towupper(text[i]) - L'A' + 1);
        ++i;
    }
    if (i == lettersStart) return std::nullopt;
    if (i < text.size() && text[i] == L'$') ++i;
    long long row = 0;
    size_t digitsStart = i;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && row <= kMaxRows) {
        row = row * 10 + (text[i] - L'0');
        ++i;
    }
    if (i == digitsStart || i != text.size()) return std::nullopt;
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) return std::nullopt;
    return CellPosition{static_cast<int>(row), static_cast<int>(column)};
}

} // namespace

std::optional<CellArea> ParseArea(std::wstring_view text) {
    size_t colon = text.find(L':');
    std::optional<CellPosition> first = ParseCell(text.substr(0, colon));
    if (!first) return std::nullopt;
    if (colon == std::wstring_view::npos) return CellArea{*first, 1, 1};
    std::optional<CellPosition> second = ParseCell(text.substr(colon + 1));
    if (!second) return std::nullopt;
    CellPosition topLeft{std::min(first->row, second->row), std::min(first->column, second->column)};
    return CellArea{topLeft, std::abs(first->row - second->row) + 1, std::abs(first->column - second->column) + 1};
}

std::optional<CellArea> ResizedArea(const CellArea& area, int rows, int columns) {
    if (rows < 1 || columns < 1) return std::nullopt;
    if (rows > kMaxRows - area.topLeft.row + 1 || columns > kMaxColumns - area.topLeft.column + 1) return std::nullopt;
    return CellArea{area.topLeft, rows, columns};
}
