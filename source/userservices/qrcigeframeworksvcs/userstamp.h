#pragma once
// Who acts and when: the texts recorded with a change, and the dates sent to the framework.
#include <string>
#include "comidentifiers.h"

struct UserAndTime {
    std::wstring userName;  // the workspace's user, or the system's domain\user when that is empty
    std::wstring timeText;  // the local time, formatted with "%c"; empty without a clock
};

UserAndTime StampUserAndTime(IWorkspace* workspace);

// The logged-on user in the form domain\user, or empty when it cannot be had.
std::wstring SystemUserName();

struct LocalTime {
    int year, month, day, hour, minute, second;
};

// The one clock behind every stamp: the report's time and the dates sent with a change
// both read it, so a test that sets its own sees exact dates and texts. A null clock
// puts the runtime's local time back.
using LocalClock = LocalTime (*)();
void SetLocalClock(LocalClock clock);
// The clock's time now, to the second; all zeros when the runtime has no local time.
LocalTime LocalTimeNow();

// An OLE Automation date (days since 30 December 1899, the time of day as a fraction)
// for a local time; 0.0 for a year of 10000 or more, a month outside 1..12, a day
// outside its month (29 February only in leap years), hours of 24 or more, minutes or
// seconds of 60 or more.
double AutomationDate(const LocalTime& time);
// The local time now, to the second, as an OLE Automation date (0.0 without a clock).
double AutomationDateNow();
