#include "cellvalues.h"

#include <algorithm>
#include "winkit/bstr_text.h"
#include "winkit/unique_safearray.h"

HRESULT CellValueOf(const VARIANT* v, std::optional<CellValue>* out) {
    switch (V_VT(v)) {
    case VT_EMPTY:
    case VT_NULL:
        out->reset();
        return S_OK;
    case VT_BSTR:
        *out = winkit::BstrText(V_BSTR(v));
        return S_OK;
    case VT_BOOL:
        *out = V_BOOL(v) != VARIANT_FALSE;
        return S_OK;
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_I8: case VT_UI8:
    case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: case VT_DATE: {
        winkit::UniqueVariant number;
        if (FAILED(VariantChangeType(number.get(), const_cast<VARIANT*>(v), 0, VT_R8))) return DISP_E_TYPEMISMATCH;
        *out = V_R8(number.get());
        return S_OK;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ValueGridOf(const VARIANT* v, size_t maxRows, size_t maxColumns, ValueGrid* out) {
    if (V_VT(v) != (VT_ARRAY | VT_VARIANT) || !V_ARRAY(v)) return DISP_E_TYPEMISMATCH;
    SAFEARRAY* array = V_ARRAY(v);
    UINT dimensions = SafeArrayGetDim(array);
    if (dimensions != 1 && dimensions != 2) return DISP_E_TYPEMISMATCH;
    LONG lower[2] = {0, 0}, upper[2] = {-1, 0};
    for (UINT d = 0; d < dimensions; ++d) {
        SafeArrayGetLBound(array, d + 1, &lower[d]);
        SafeArrayGetUBound(array, d + 1, &upper[d]);
    }
    // A one-dimensional array is one row: its only dimension runs along the columns.
    LONG rowLower = dimensions == 2 ? lower[0] : 0, rowUpper = dimensions == 2 ? upper[0] : 0;
    LONG columnLower = dimensions == 2 ? lower[1] : lower[0], columnUpper = dimensions == 2 ? upper[1] : upper[0];
    size_t rows = std::min(maxRows, static_cast<size_t>(std::max<LONGLONG>(0, LONGLONG{rowUpper} - rowLower + 1)));
    size_t columns = std::min(maxColumns, static_cast<size_t>(std::max<LONGLONG>(0, LONGLONG{columnUpper} - columnLower + 1)));

    winkit::SafeArrayLockGuard lock(array);
    if (FAILED(lock.status())) return lock.status();
    ValueGrid grid(rows, std::vector<std::optional<CellValue>>(columns));
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c < columns; ++c) {
            LONG index[2];
            if (dimensions == 2) {
                index[0] = rowLower + static_cast<LONG>(r);
                index[1] = columnLower + static_cast<LONG>(c);
            } else {
                index[0] = columnLower + static_cast<LONG>(c);
            }
            void* element = nullptr;
            HRESULT hr = SafeArrayPtrOfIndex(array, index, &element);
            if (FAILED(hr)) return hr;
            const VARIANT* cell = static_cast<const VARIANT*>(element);
            if (V_VT(cell) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(cell)) cell = V_VARIANTREF(cell);
            hr = CellValueOf(cell, &grid[r][c]);
            if (FAILED(hr)) return hr;
        }
    }
    *out = std::move(grid);
    return S_OK;
}

winkit::UniqueVariant VariantOf(const std::optional<CellValue>& value) {
    if (!value) return {};
    if (const std::wstring* text = std::get_if<std::wstring>(&*value)) return winkit::UniqueVariant::String(*text);
    if (const bool* truth = std::get_if<bool>(&*value)) return winkit::UniqueVariant::Bool(*truth);
    return winkit::UniqueVariant::Double(std::get<double>(*value));
}

winkit::UniqueVariant AreaValues(const Worksheet& sheet, const CellArea& area) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(area.rows), 1}, {static_cast<ULONG>(area.columns), 1}};
    winkit::UniqueSafeArray array(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (!array) throw std::bad_alloc();
    {
        winkit::SafeArrayLockGuard lock(array.get());
        if (FAILED(lock.status())) throw std::bad_alloc();
        for (int r = 0; r < area.rows; ++r) {
            for (int c = 0; c < area.columns; ++c) {
                const Cell* cell = sheet.Find({area.topLeft.row + r, area.topLeft.column + c});
                if (!cell || !cell->value) continue;
                LONG index[2] = {r + 1, c + 1};
                void* element = nullptr;
                if (FAILED(SafeArrayPtrOfIndex(array.get(), index, &element))) throw std::bad_alloc();
                *static_cast<VARIANT*>(element) = VariantOf(cell->value).release();
            }
        }
    }
    winkit::UniqueVariant result;
    V_VT(result.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(result.get()) = array.release();
    return result;
}
