// The acting user and the dates sent to the framework.
#include <gtest/gtest.h>
#include "userstamp.h"

TEST(UserStamp, WithoutAWorkspaceTheSystemsUser) { EXPECT_EQ(SystemUserName(), StampUserAndTime(nullptr).userName); }

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
