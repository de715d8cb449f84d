#include "reportcells.h"

#include <commctrl.h>
#include <comdef.h>
#include <climits>
#include <functional>
#include <new>
#include "winkit/unique_bstr.h"

namespace {

// Far beyond any text a list shows; ends the doubling should a control always fill the buffer.
constexpr size_t kLongestCellText = size_t{1} << 24;

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

std::wstring ListCellText(HWND listView, int row, int column) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        size_t length = static_cast<size_t>(SendMessageW(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        // The control may answer with text of its own instead of filling the buffer.
        if (item.pszText != buffer.data()) return item.pszText ? std::wstring(item.pszText) : std::wstring();
        // A text that filled the buffer may have been cut short.
        if (length + 1 < buffer.size() || buffer.size() >= kLongestCellText) {
            buffer.resize(wcsnlen(buffer.c_str(), length));
            return buffer;
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

winkit::UniqueSafeArray HeaderBlock(const std::vector<std::wstring>& columnNames) {
    return TextBlock(1, columnNames.size(), [&](size_t, size_t c) { return columnNames[c]; });
}

winkit::UniqueSafeArray DataBlock(HWND listView, size_t rows, size_t columns) {
    size_t listed = static_cast<size_t>(SendMessageW(listView, LVM_GETITEMCOUNT, 0, 0));
    return TextBlock(rows, columns, [&](size_t r, size_t c) {
        return r < listed ? ListCellText(listView, static_cast<int>(r), static_cast<int>(c)) : std::wstring();
    });
}
