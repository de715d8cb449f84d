#include "userstamp.h"

#define SECURITY_WIN32
#include <security.h>
#include <ctime>
#include <cwchar>
#include "winkit/unique_bstr.h"

namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValid(const LocalTime& t) {
    return t.year >= 1 && t.year < 10000 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
           t.second >= 0 && t.second < 60;
}

// Days from 1 January of year 1 (proleptic Gregorian) to the given date.
long long DaysFromCivil(int year, int month, int day) {
    long long days = 0;
    int y = year - 1;
    days += 365LL * y + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

LocalTime RuntimeLocalTime() {
    __time64_t now = _time64(nullptr);
    const tm* local = _localtime64(&now);
    if (!local) return {};
    return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec};
}

LocalClock localClock = &RuntimeLocalTime;

// The time formatted with "%c"; empty for a time that is no date.
std::wstring TimeText(const LocalTime& t) {
    if (!IsValid(t)) return {};
    tm fields = {};
    fields.tm_year = t.year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    const long long days = DaysFromCivil(t.year, t.month, t.day);
    fields.tm_yday = static_cast<int>(days - DaysFromCivil(t.year, 1, 1));
    fields.tm_wday = static_cast<int>((days + 1) % 7);  // 1 January of year 1 was a Monday
    wchar_t text[256] = {};
    wcsftime(text, 256, L"%c", &fields);
    return text;
}

} // namespace

void SetLocalClock(LocalClock clock) { localClock = clock ? clock : &RuntimeLocalTime; }

LocalTime LocalTimeNow() { return localClock(); }

std::wstring SystemUserName() {
    wchar_t name[255] = {};
    ULONG size = 255;
    if (!GetUserNameExW(NameSamCompatible, name, &size)) return {};
    return name;
}

UserAndTime StampUserAndTime(IWorkspace* workspace) {
    UserAndTime stamp;
    if (workspace) {
        winkit::UniqueBstr name;
        workspace->GetUserName(name.put());  // its result is not examined: an empty name means "ask the system"
        stamp.userName = name.str();
    }
    if (stamp.userName.empty()) stamp.userName = SystemUserName();
    stamp.timeText = TimeText(LocalTimeNow());
    return stamp;
}

double AutomationDate(const LocalTime& t) {
    if (!IsValid(t)) return 0.0;
    long long days = DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(1899, 12, 30);
    double fraction = (t.hour * 3600.0 + t.minute * 60.0 + t.second) / 86400.0;
    // Before the epoch the fraction counts away from zero, as OLE dates do.
    return days >= 0 ? days + fraction : days - fraction;
}

double AutomationDateNow() { return AutomationDate(LocalTimeNow()); }
