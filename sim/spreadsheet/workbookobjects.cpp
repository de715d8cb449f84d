#include "workbookobjects.h"

#include <cwchar>
#include "cellvalues.h"

namespace {

// Setting or reading more cells than this at once is refused rather than attempted.
constexpr long long kMostCellsAtOnce = 4'000'000;

long long CellCount(const CellArea& area) { return static_cast<long long>(area.rows) * area.columns; }

template <class T>
winkit::ComPtr<T> NewRangeLike(const SheetPlace& place, const CellArea& area) {
    auto object = NewAutomationObject<T>();
    object->place = place;
    object->area = area;
    return object;
}

bool ReadsAnObject(WORD kind) {
    return (kind & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) && !(kind & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF));
}

} // namespace

HRESULT WorkbookObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (id != kMemberSheets || !ReadsAnObject(kind)) return DISP_E_MEMBERNOTFOUND;
    if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
    auto sheets = NewAutomationObject<SheetsObject>();
    sheets->place = place;
    result = DispatchResult(std::move(sheets));
    return S_OK;
}

HRESULT SheetsObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (id != kMemberItem || !ReadsAnObject(kind)) return DISP_E_MEMBERNOTFOUND;
    if (HRESULT hr = ExpectArguments(arguments, 1); FAILED(hr)) return hr;
    const VARIANT* index = arguments.at(0);
    const auto& sheets = place.book->sheets;
    size_t position = sheets.size();
    if (index && V_VT(index) == VT_BSTR) {
        for (size_t i = 0; i < sheets.size(); ++i)
            if (CompareStringOrdinal(V_BSTR(index), -1, sheets[i].name().c_str(), -1, TRUE) == CSTR_EQUAL) position = i;
    } else {
        LONG number = 0;
        if (HRESULT hr = ArgumentLong(index, &number); FAILED(hr)) return hr;
        if (number >= 1 && static_cast<size_t>(number) <= sheets.size()) position = static_cast<size_t>(number) - 1;
    }
    if (position >= sheets.size()) return DISP_E_BADINDEX;
    auto sheet = NewAutomationObject<WorksheetObject>();
    sheet->place = {place.application, place.book, position};
    result = DispatchResult(std::move(sheet));
    return S_OK;
}

HRESULT WorksheetObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (id != kMemberRange || !ReadsAnObject(kind)) return DISP_E_MEMBERNOTFOUND;
    if (HRESULT hr = ExpectArguments(arguments, 1); FAILED(hr)) return hr;
    std::wstring reference;
    if (HRESULT hr = ArgumentText(arguments.at(0), &reference); FAILED(hr)) return hr;
    std::optional<CellArea> area = ParseArea(reference);
    if (!area) return DISP_E_TYPEMISMATCH;
    result = DispatchResult(NewRangeLike<RangeObject>(place, *area));
    return S_OK;
}

bool RangeObject::HasMember(DISPID id) const {
    return id == kMemberValue || id == kMemberColumnWidth || id == kMemberResize || id == kMemberFont;
}

HRESULT RangeObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    switch (id) {
    case kMemberValue:
        return Value(kind, arguments, result);
    case kMemberColumnWidth:
        return ColumnWidth(kind, arguments, result);
    case kMemberResize:
        return Resize(kind, arguments, result);
    case kMemberFont:
        if (!ReadsAnObject(kind)) return DISP_E_MEMBERNOTFOUND;
        if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
        result = DispatchResult(NewRangeLike<FontObject>(place, area));
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT RangeObject::Value(WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
    Worksheet& sheet = place.worksheet();
    if (IsPut(kind)) {
        const VARIANT* value = arguments.putValue();
        if (V_VT(value) & VT_ARRAY) {
            ValueGrid grid;
            if (HRESULT hr = ValueGridOf(value, area.rows, area.columns, &grid); FAILED(hr)) return hr;
            sheet.SetValues(area, grid);
            return S_OK;
        }
        std::optional<CellValue> single;
        if (HRESULT hr = CellValueOf(value, &single); FAILED(hr)) return hr;
        if (CellCount(area) > kMostCellsAtOnce) return E_OUTOFMEMORY;
        sheet.SetValue(area, single);
        return S_OK;
    }
    if (!IsRead(kind)) return DISP_E_MEMBERNOTFOUND;
    if (CellCount(area) == 1) {
        const Cell* cell = sheet.Find(area.topLeft);
        result = VariantOf(cell ? cell->value : std::nullopt);
        return S_OK;
    }
    if (CellCount(area) > kMostCellsAtOnce) return E_OUTOFMEMORY;
    result = AreaValues(sheet, area);
    return S_OK;
}

HRESULT RangeObject::ColumnWidth(WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
    Worksheet& sheet = place.worksheet();
    if (IsPut(kind)) {
        double width = 0;
        if (HRESULT hr = ArgumentDouble(arguments.putValue(), &width); FAILED(hr)) return hr;
        if (!(width >= 0 && width <= 255)) return DISP_E_TYPEMISMATCH;
        sheet.SetColumnWidth(area, width);
        return S_OK;
    }
    if (!IsRead(kind)) return DISP_E_MEMBERNOTFOUND;
    double width = sheet.ColumnWidth(area.topLeft.column);
    for (int c = area.topLeft.column + 1; c <= area.lastColumn(); ++c) {
        if (sheet.ColumnWidth(c) != width) {
            V_VT(result.get()) = VT_NULL;  // columns of different widths
            return S_OK;
        }
    }
    result = winkit::UniqueVariant::Double(width);
    return S_OK;
}

HRESULT RangeObject::Resize(WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (!ReadsAnObject(kind)) return DISP_E_MEMBERNOTFOUND;
    if (arguments.count() > 2) return DISP_E_BADPARAMCOUNT;
    // Either size may be left out: it stays as it is.
    LONG rows = area.rows, columns = area.columns;
    if (arguments.at(0)) {
        if (HRESULT hr = ArgumentLong(arguments.at(0), &rows); FAILED(hr)) return hr;
    }
    if (arguments.at(1)) {
        if (HRESULT hr = ArgumentLong(arguments.at(1), &columns); FAILED(hr)) return hr;
    }
    std::optional<CellArea> resized = ResizedArea(area, rows, columns);
    if (!resized) return DISP_E_TYPEMISMATCH;
    result = DispatchResult(NewRangeLike<RangeObject>(place, *resized));
    return S_OK;
}

HRESULT FontObject::Call(DISPID id, WORD kind, const DispatchArguments& arguments, winkit::UniqueVariant& result) {
    if (id != kMemberBold) return DISP_E_MEMBERNOTFOUND;
    if (HRESULT hr = ExpectArguments(arguments, 0); FAILED(hr)) return hr;
    Worksheet& sheet = place.worksheet();
    if (IsPut(kind)) {
        bool bold = false;
        if (HRESULT hr = ArgumentBool(arguments.putValue(), &bold); FAILED(hr)) return hr;
        if (CellCount(area) > kMostCellsAtOnce) return E_OUTOFMEMORY;
        sheet.SetBold(area, bold);
        return S_OK;
    }
    if (!IsRead(kind)) return DISP_E_MEMBERNOTFOUND;
    if (CellCount(area) > kMostCellsAtOnce) return E_OUTOFMEMORY;
    long long boldCells = 0;
    for (int r = area.topLeft.row; r <= area.lastRow(); ++r)
        for (int c = area.topLeft.column; c <= area.lastColumn(); ++c)
            if (const Cell* cell = sheet.Find({r, c}); cell && cell->bold) ++boldCells;
    if (boldCells != 0 && boldCells != CellCount(area)) V_VT(result.get()) = VT_NULL;  // some bold, some not
    else result = winkit::UniqueVariant::Bool(boldCells != 0);
    return S_OK;
}
