#pragma once
// Owned BSTR: a UniqueHandle freed with SysFreeString, with the text views a BSTR needs.
#include <oleauto.h>
#include <new>
#include <string>
#include <string_view>
#include "bstr_text.h"
#include "unique_handle.h"

namespace winkit {

struct BstrCloser { void operator()(BSTR b) const noexcept { SysFreeString(b); } };

class UniqueBstr : public UniqueHandle<BSTR, BstrCloser> {
public:
    using UniqueHandle::UniqueHandle;

    // Copies a text into a new BSTR; throws std::bad_alloc when it cannot be allocated.
    static UniqueBstr Copy(std::wstring_view text) {
        BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!b) throw std::bad_alloc();
        return UniqueBstr(b);
    }
    static UniqueBstr Copy(const wchar_t* text) {
        return text ? Copy(std::wstring_view(text)) : UniqueBstr();
    }
    // Copies a whole BSTR, its length taken from the BSTR (NULs inside kept); null stays null.
    static UniqueBstr CopyBstr(BSTR text) { return text ? Copy(BstrView(text)) : UniqueBstr(); }

    // Never null: an empty text for an empty holder.
    const wchar_t* c_str() const noexcept { return get() ? get() : L""; }
    UINT size() const noexcept { return SysStringLen(get()); }
    bool empty() const noexcept { return size() == 0; }
    std::wstring_view view() const noexcept { return {c_str(), size()}; }
    std::wstring str() const { return std::wstring(view()); }
};

} // namespace winkit
