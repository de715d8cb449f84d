#pragma once
// Owned BSTR: move-only, freed with SysFreeString.
#include <oleauto.h>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace winkit {

class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    // Adopts an allocated BSTR.
    explicit UniqueBstr(BSTR b) noexcept : b_(b) {}
    UniqueBstr(UniqueBstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.b_, nullptr));
        return *this;
    }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    ~UniqueBstr() { reset(); }

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
    static UniqueBstr CopyBstr(BSTR text) {
        return text ? Copy(std::wstring_view(text, SysStringLen(text))) : UniqueBstr();
    }

    BSTR get() const noexcept { return b_; }
    // Never null: an empty text for an empty holder.
    const wchar_t* c_str() const noexcept { return b_ ? b_ : L""; }
    UINT size() const noexcept { return b_ ? SysStringLen(b_) : 0; }
    bool empty() const noexcept { return size() == 0; }
    std::wstring_view view() const noexcept { return {c_str(), size()}; }
    std::wstring str() const { return std::wstring(view()); }

    void reset(BSTR b = nullptr) noexcept {
        BSTR old = std::exchange(b_, b);
        if (old) SysFreeString(old);
    }
    [[nodiscard]] BSTR release() noexcept { return std::exchange(b_, nullptr); }
    BSTR* put() noexcept { reset(); return &b_; }

private:
    BSTR b_ = nullptr;
};

} // namespace winkit
