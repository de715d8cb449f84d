// The acting user and the dates sent to the framework.
#include <gtest/gtest.h>
#include "support/fixed_clock.h"

// The clock's time as the date sent with a change (days since 30 December 1899, the time
// of day as a fraction) and as the stamp's text, which the runtime writes only from 1900
// on; a time that is no date gives 0 and no text. Without a workspace the user is the
// system's, as domain\user.
TEST(UserStamp, TheClocksTimeAsDateAndText) {
    const struct { LocalTime time; double date; const wchar_t* text; } cases[] = {
        {FixedClock::kTime, FixedClock::kAutomationDate, FixedClock::kText},
        {{2026, 12, 5, 12, 0, 0}, 46361.5, L"12/05/26 12:00:00"}, {{1899, 12, 30, 0, 0, 0}, 0.0, L""},
        {{1900, 1, 1, 0, 0, 0}, 2.0, L"01/01/00 00:00:00"}, {{1900, 2, 28, 0, 0, 0}, 60.0, L"02/28/00 00:00:00"},
        {{1900, 3, 1, 0, 0, 0}, 61.0, L"03/01/00 00:00:00"},  // 1900 has no 29 February
        {{2024, 2, 29, 6, 5, 9}, 45351 + 21909 / 86400.0, L"02/29/24 06:05:09"},
        {{1850, 6, 15, 18, 0, 0}, -18095.75, L""},  // the time counts away from 0
        {{10000, 1, 1, 0, 0, 0}, 0.0, L""}, {{2026, 13, 1, 0, 0, 0}, 0.0, L""}, {{2025, 2, 29, 0, 0, 0}, 0.0, L""},
        {{1900, 2, 29, 0, 0, 0}, 0.0, L""}, {{2026, 1, 1, 24, 0, 0}, 0.0, L""}, {{}, 0.0, L""},
    };
    for (const auto& c : cases) {
        FixedClock clock(c.time);
        UserAndTime stamp = StampUserAndTime(nullptr);
        EXPECT_DOUBLE_EQ(c.date, AutomationDateNow()) << c.time.year << "-" << c.time.month;
        EXPECT_EQ(c.text, stamp.timeText);
        EXPECT_NE(std::wstring::npos, stamp.userName.find(L'\\')) << stamp.userName.c_str();
    }
}
