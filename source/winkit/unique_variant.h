#pragma once
// Owned VARIANT: move-only, cleared with VariantClear.
#include <oleauto.h>
#include <new>
#include <string_view>
#include <utility>

namespace winkit {

class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&v_); }
    UniqueVariant(UniqueVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept {
        if (this != &other) {
            reset();
            v_ = other.v_;
            VariantInit(&other.v_);
        }
        return *this;
    }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { reset(); }

    static UniqueVariant Long(LONG value) noexcept {
        UniqueVariant r;
        V_VT(&r.v_) = VT_I4;
        V_I4(&r.v_) = value;
        return r;
    }
    static UniqueVariant Double(double value) noexcept {
        UniqueVariant r;
        V_VT(&r.v_) = VT_R8;
        V_R8(&r.v_) = value;
        return r;
    }
    static UniqueVariant Bool(bool value) noexcept {
        UniqueVariant r;
        V_VT(&r.v_) = VT_BOOL;
        V_BOOL(&r.v_) = value ? VARIANT_TRUE : VARIANT_FALSE;
        return r;
    }
    // Throws std::bad_alloc when the string cannot be allocated.
    static UniqueVariant String(std::wstring_view text) {
        UniqueVariant r;
        BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (!b) throw std::bad_alloc();
        V_VT(&r.v_) = VT_BSTR;
        V_BSTR(&r.v_) = b;
        return r;
    }
    // Adopts an IDispatch reference.
    static UniqueVariant Dispatch(IDispatch* adopted) noexcept {
        UniqueVariant r;
        V_VT(&r.v_) = VT_DISPATCH;
        V_DISPATCH(&r.v_) = adopted;
        return r;
    }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* operator->() noexcept { return &v_; }
    const VARIANT* operator->() const noexcept { return &v_; }
    VARTYPE vt() const noexcept { return V_VT(&v_); }

    void reset() noexcept { VariantClear(&v_); }
    // Clears and returns the VARIANT for an out-parameter.
    VARIANT* put() noexcept { reset(); return &v_; }
    // Hands the content over; this holder becomes VT_EMPTY.
    [[nodiscard]] VARIANT release() noexcept {
        VARIANT r = v_;
        VariantInit(&v_);
        return r;
    }

private:
    VARIANT v_;
};

} // namespace winkit
