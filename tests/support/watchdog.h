#pragma once
// Guards one piece of work that may hang (a reader given a hostile document): when it has
// not ended within the limit, the watchdog names it and ends the test program at once,
// failed. A hang inside a call cannot be ended from the calling thread, and the limit is
// far above any sound run, so no check depends on how fast the machine is.
#include <windows.h>
#include <string>
#include <thread>
#include "winkit/unique_handle.h"

class Watchdog {
public:
    explicit Watchdog(std::string work, DWORD limitSeconds = 300);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    winkit::UniqueKernelHandle ended_;
    std::thread watcher_;
};
