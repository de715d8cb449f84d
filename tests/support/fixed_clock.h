#pragma once
// While it lives, the library's clock stands still at one time: the stamps, the dates
// sent with a change and the report's time are then exact.
#include "userstamp.h"

class FixedClock {
public:
    // 31 December 2026 18:00:00: a year's last evening, and an OLE date that is exact in binary.
    static constexpr LocalTime kTime = {2026, 12, 31, 18, 0, 0};
    static constexpr double kAutomationDate = 46387.75;
    // kTime as "%c" writes it in the tests' locale (English, United States).
    static constexpr const wchar_t* kText = L"12/31/26 18:00:00";

    explicit FixedClock(LocalTime time = kTime) {
        shown_ = time;
        SetLocalClock([] { return shown_; });
    }
    ~FixedClock() { SetLocalClock(nullptr); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

private:
    inline static LocalTime shown_ = kTime;
};
