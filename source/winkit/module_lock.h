#pragma once
// The module's lock count: every live object and every LockServer(TRUE) holds one.
#include <windows.h>

namespace winkit {

class ModuleLock {
public:
    static LONG Lock() noexcept { return InterlockedIncrement(&count_); }
    static LONG Unlock() noexcept { return InterlockedDecrement(&count_); }
    static LONG Count() noexcept { return InterlockedCompareExchange(&count_, 0, 0); }

private:
    static inline LONG count_ = 0;
};

} // namespace winkit
