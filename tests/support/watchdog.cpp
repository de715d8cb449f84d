#include "watchdog.h"

#include <cstdio>

Watchdog::Watchdog(std::string work, DWORD limitSeconds) : ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    watcher_ = std::thread([ended = ended_.get(), work = std::move(work), limitSeconds] {
        if (WaitForSingleObject(ended, limitSeconds * 1000) == WAIT_OBJECT_0) return;
        std::printf("[  FAILED  ] watchdog: %s did not end within %lu s\n", work.c_str(), limitSeconds);
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    });
}

Watchdog::~Watchdog() {
    SetEvent(ended_.get());
    watcher_.join();
}
