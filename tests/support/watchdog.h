#pragma once
// Guards work that may hang (a reader given a hostile document): when it has not ended
// within the limit, the watchdog names it and ends the test program at once, failed. A
// hang inside a call cannot be ended from the calling thread, and the limit is far above
// any sound run, so no check depends on how fast the machine is.
#include <windows.h>
#include <cstdio>
#include <string>
#include <thread>
#include "winkit/unique_handle.h"

class Watchdog {
public:
    explicit Watchdog(std::string work, DWORD limitSeconds = 300)
        : watcher_([ended = ended_.get(), work = std::move(work), limitSeconds] {
              if (WaitForSingleObject(ended, limitSeconds * 1000) == WAIT_OBJECT_0) return;
              std::printf("[  FAILED  ] watchdog: %s did not end within %lu s\n", work.c_str(), limitSeconds);
              std::fflush(stdout);
              TerminateProcess(GetCurrentProcess(), 3);
          }) {}
    ~Watchdog() {
        SetEvent(ended_.get());
        watcher_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    winkit::UniqueKernelHandle ended_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::thread watcher_;
};
