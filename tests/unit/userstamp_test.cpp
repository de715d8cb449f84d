// The acting user and the dates sent to the framework.
#include <gtest/gtest.h>
#include "userstamp.h"

// Which name is used is checked with the operations that send it; here its form.
TEST(UserStamp, WithoutAWorkspaceTheSystemsDomainAndUser) {
    UserAndTime stamp = StampUserAndTime(nullptr);
    EXPECT_NE(std::wstring::npos, stamp.userName.find(L'\\')) << "domain\\user form: " << stamp.userName.c_str();
    EXPECT_EQ(SystemUserName(), stamp.userName);
    EXPECT_FALSE(stamp.timeText.empty());
}

TEST(UserStamp, AutomationDates) {
    struct Case { LocalTime time; double expected; } cases[] = {
        {{2026, 12, 5, 12, 0, 0}, 46361.5}, {{1899, 12, 30, 0, 0, 0}, 0.0}, {{1900, 1, 1, 0, 0, 0}, 2.0},
        {{1900, 2, 28, 0, 0, 0}, 60.0},     {{1900, 3, 1, 0, 0, 0}, 61.0},  // 1900 has no 29 February
        // Invalid dates give 0.
        {{10000, 1, 1, 0, 0, 0}, 0.0},      {{2026, 13, 1, 0, 0, 0}, 0.0},  {{2026, 0, 1, 0, 0, 0}, 0.0},
        {{2026, 4, 31, 0, 0, 0}, 0.0},      {{2025, 2, 29, 0, 0, 0}, 0.0},  {{1900, 2, 29, 0, 0, 0}, 0.0},
        {{2026, 1, 1, 24, 0, 0}, 0.0},      {{2026, 1, 1, 0, 60, 0}, 0.0},  {{2026, 1, 1, 0, 0, 60}, 0.0},
        {{2026, 1, 0, 0, 0, 0}, 0.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(c.expected, AutomationDate(c.time)) << c.time.year << "-" << c.time.month;
    // The platform agrees with every valid date.
    for (LocalTime t : {LocalTime{2024, 2, 29, 23, 59, 59}, LocalTime{2000, 2, 29, 6, 30, 0},
                        LocalTime{9999, 12, 31, 0, 0, 1}, LocalTime{1850, 6, 15, 18, 0, 0}}) {
        SYSTEMTIME st = {static_cast<WORD>(t.year), static_cast<WORD>(t.month), 0, static_cast<WORD>(t.day),
                         static_cast<WORD>(t.hour), static_cast<WORD>(t.minute), static_cast<WORD>(t.second), 0};
        double expected = 0;
        ASSERT_TRUE(SystemTimeToVariantTime(&st, &expected));
        EXPECT_NEAR(expected, AutomationDate(t), 1e-9) << t.year;
    }
    // Now is today.
    SYSTEMTIME st;
    GetLocalTime(&st);
    st.wHour = st.wMinute = st.wSecond = st.wMilliseconds = 0;
    double today = 0, now = AutomationDateNow();
    SystemTimeToVariantTime(&st, &today);
    EXPECT_GE(now, today);
    EXPECT_LT(now, today + 1.0 + 1e-6);
}
