// The acting user and the dates sent to the framework.
#include <gtest/gtest.h>
#include "support/fixed_clock.h"

// The clock's time as the stamp's text and as the date sent; a clock without a time gives
// neither. Without a workspace the user is the system's, as domain\user.
TEST(UserStamp, TheClocksTimeAsTextAndDate) {
    const struct { LocalTime time; const wchar_t* text; double date; } cases[] = {
        {FixedClock::kTime, FixedClock::kText, FixedClock::kAutomationDate},
        {{2024, 2, 29, 6, 5, 9}, L"02/29/24 06:05:09", 45351 + (6 * 3600 + 5 * 60 + 9) / 86400.0},
        {{}, L"", 0.0},
    };
    for (const auto& c : cases) {
        FixedClock clock(c.time);
        UserAndTime stamp = StampUserAndTime(nullptr);
        EXPECT_EQ(c.text, stamp.timeText);
        EXPECT_DOUBLE_EQ(c.date, AutomationDateNow()) << c.time.year;
        EXPECT_NE(std::wstring::npos, stamp.userName.find(L'\\')) << stamp.userName.c_str();
    }
}

TEST(UserStamp, AutomationDates) {
    struct Case { LocalTime time; double expected; } cases[] = {
        {{2026, 12, 5, 12, 0, 0}, 46361.5}, {{1899, 12, 30, 0, 0, 0}, 0.0}, {{1900, 1, 1, 0, 0, 0}, 2.0},
        {{1900, 2, 28, 0, 0, 0}, 60.0},     {{1900, 3, 1, 0, 0, 0}, 61.0},  // 1900 has no 29 February
        {{2024, 2, 29, 6, 0, 0}, 45351.25}, {{1850, 6, 15, 18, 0, 0}, -18095.75},  // the time counts away from 0
        // Invalid dates give 0.
        {{10000, 1, 1, 0, 0, 0}, 0.0},      {{2026, 13, 1, 0, 0, 0}, 0.0},  {{2025, 2, 29, 0, 0, 0}, 0.0},
        {{1900, 2, 29, 0, 0, 0}, 0.0},      {{2026, 1, 1, 24, 0, 0}, 0.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.expected, AutomationDate(c.time)) << c.time.year << "-" << c.time.month;
}
