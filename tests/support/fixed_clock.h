#pragma once
// While it lives, the library's clock stands still, so stamps and dates are exact.
#include "userstamp.h"

class FixedClock {
public:
    // A year's last evening, whose OLE date is exact in binary, and its "%c" text in the
    // tests' locale (English, United States).
    static constexpr LocalTime kTime = {2026, 12, 31, 18, 0, 0};
    static constexpr double kAutomationDate = 46387.75;
    static constexpr const wchar_t* kText = L"12/31/26 18:00:00";

    explicit FixedClock(LocalTime time = kTime) {
        shown_ = time;
        SetLocalClock([] { return shown_; });
    }
    ~FixedClock() { SetLocalClock(nullptr); }

private:
    inline static LocalTime shown_ = kTime;
};
