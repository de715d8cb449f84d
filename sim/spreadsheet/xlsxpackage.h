#pragma once
// A workbook as an Office Open XML spreadsheet package (.xlsx): inline-string cells,
// one bold cell format, column widths, sheets in workbook order.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include "storedzip.h"
#include "workbook.h"

// Text as UTF-8 character data: markup characters escaped, carriage returns as
// references, characters XML cannot carry (and look-alikes of that escape) in the
// package's own _xHHHH_ form. Lone surrogates become U+FFFD.
std::string XmlText(std::wstring_view text);

// The package's parts: content types, relationships, workbook, styles, one part per sheet.
std::vector<ZipEntry> XlsxParts(const Workbook& book);
std::string XlsxPackage(const Workbook& book, uint16_t dosTime, uint16_t dosDate);
