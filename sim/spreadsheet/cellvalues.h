#pragma once
// Cell values to and from VARIANTs, and blocks of them to and from arrays of VARIANTs.
#include <windows.h>
#include <oleauto.h>
#include "winkit/unique_variant.h"
#include "workbook.h"

// Empty and null clear a cell; texts, truth values and numbers (dates as their serial
// numbers) are kept; anything else is DISP_E_TYPEMISMATCH.
HRESULT CellValueOf(const VARIANT* v, std::optional<CellValue>* out);

// A one- or two-dimensional array of VARIANTs as rows of values (a one-dimensional array
// is one row). At most `maxRows` x `maxColumns` values are read from its first element on.
HRESULT ValueGridOf(const VARIANT* v, size_t maxRows, size_t maxColumns, ValueGrid* out);

winkit::UniqueVariant VariantOf(const std::optional<CellValue>& value);

// The values of the area as a rows x columns array with lower bounds 1.
winkit::UniqueVariant AreaValues(const Worksheet& sheet, const CellArea& area);
