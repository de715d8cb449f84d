#include "reportcells.h"

#include <comdef.h>
#include <climits>
#include <functional>
#include <new>
#include "tasklistmodel.h"
#include "winkit/unique_bstr.h"

namespace {

LONG ArrayExtent(size_t count) {
    if (count > static_cast<size_t>(LONG_MAX)) throw std::bad_alloc();
    return static_cast<LONG>(count);
}

// A rows x columns array filled from text(r, c), both 0-based.
winkit::UniqueSafeArray TextBlock(size_t rows, size_t columns, const std::function<std::wstring(size_t, size_t)>& text) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(ArrayExtent(rows)), 1}, {static_cast<ULONG>(ArrayExtent(columns)), 1}};
    winkit::UniqueSafeArray block(SafeArrayCreate(VT_VARIANT, 2, bounds));
    if (!block) throw std::bad_alloc();
    winkit::SafeArrayLockGuard lock(block.get());
    if (FAILED(lock.status())) _com_issue_error(lock.status());
    for (size_t r = 0; r < rows; ++r) {
        for (size_t c = 0; c < columns; ++c) {
            LONG index[2] = {static_cast<LONG>(r) + 1, static_cast<LONG>(c) + 1};
            void* element = nullptr;
            HRESULT hr = SafeArrayPtrOfIndex(block.get(), index, &element);
            if (FAILED(hr)) _com_issue_error(hr);
            VARIANT* cell = static_cast<VARIANT*>(element);
            winkit::UniqueBstr value = winkit::UniqueBstr::Copy(text(r, c));
            V_VT(cell) = VT_BSTR;
            V_BSTR(cell) = value.release();
        }
    }
    return block;
}

} // namespace

winkit::UniqueSafeArray HeaderBlock(const std::vector<std::wstring>& columnNames) {
    return TextBlock(1, columnNames.size(), [&](size_t, size_t c) { return columnNames[c]; });
}

winkit::UniqueSafeArray DataBlock(const TaskListModel& model, size_t rows) {
    std::wstring scratch;
    return TextBlock(rows, model.Columns().size(), [&](size_t r, size_t c) { return model.Text(r, c, scratch); });
}
