#pragma once
// Owned SAFEARRAY, destroyed with SafeArrayDestroy, and a lock on its data.
#include <oleauto.h>
#include "unique_handle.h"

namespace winkit {

struct SafeArrayCloser { void operator()(SAFEARRAY* a) const noexcept { SafeArrayDestroy(a); } };

using UniqueSafeArray = UniqueHandle<SAFEARRAY*, SafeArrayCloser>;

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
