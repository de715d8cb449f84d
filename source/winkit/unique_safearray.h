#pragma once
// Owned SAFEARRAY: move-only, destroyed with SafeArrayDestroy.
#include <oleauto.h>
#include <utility>

namespace winkit {

class UniqueSafeArray {
public:
    UniqueSafeArray() noexcept = default;
    explicit UniqueSafeArray(SAFEARRAY* a) noexcept : a_(a) {}
    UniqueSafeArray(UniqueSafeArray&& other) noexcept : a_(std::exchange(other.a_, nullptr)) {}
    UniqueSafeArray& operator=(UniqueSafeArray&& other) noexcept {
        if (this != &other) reset(std::exchange(other.a_, nullptr));
        return *this;
    }
    UniqueSafeArray(const UniqueSafeArray&) = delete;
    UniqueSafeArray& operator=(const UniqueSafeArray&) = delete;
    ~UniqueSafeArray() { reset(); }

    SAFEARRAY* get() const noexcept { return a_; }
    explicit operator bool() const noexcept { return a_ != nullptr; }
    void reset(SAFEARRAY* a = nullptr) noexcept {
        SAFEARRAY* old = std::exchange(a_, a);
        if (old) SafeArrayDestroy(old);
    }
    [[nodiscard]] SAFEARRAY* release() noexcept { return std::exchange(a_, nullptr); }
    SAFEARRAY** put() noexcept { reset(); return &a_; }

private:
    SAFEARRAY* a_ = nullptr;
};

// Keeps a SAFEARRAY's data locked for the holder's life.
class SafeArrayLockGuard {
public:
    explicit SafeArrayLockGuard(SAFEARRAY* a) noexcept : a_(a), hr_(a ? SafeArrayLock(a) : E_INVALIDARG) {}
    ~SafeArrayLockGuard() { if (SUCCEEDED(hr_)) SafeArrayUnlock(a_); }
    SafeArrayLockGuard(const SafeArrayLockGuard&) = delete;
    SafeArrayLockGuard& operator=(const SafeArrayLockGuard&) = delete;
    HRESULT status() const noexcept { return hr_; }

private:
    SAFEARRAY* a_;
    HRESULT hr_;
};

} // namespace winkit
