#include "tasklistsortkeys.h"

#include <windows.h>
#include <oleauto.h>
#include <algorithm>
#include <cmath>
#include <cwchar>
#include <numeric>

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// OLE Automation dates before 1899-12-30 count days backwards but the time of day
// forwards (-1.25 is 29 December, 06:00): turn them into a continuous scale.
double PointInTime(DATE date) {
    if (date >= 0) return date;
    double days = std::trunc(date);
    return days + (days - date);
}

// Days from 1899-12-30 to a date of the proleptic Gregorian calendar.
int64_t DaysFromEpoch(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + 25569;  // 25569: 1899-12-30 to 1970-01-01
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Reads `count` digits at `at`; false when one is not a digit.
bool Digits(const wchar_t* at, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        if (at[i] < L'0' || at[i] > L'9') return false;
        value = value * 10 + (at[i] - L'0');
    }
    return true;
}

// "yyyy-mm-dd hh:mm:ss" exactly, with a real day and time; anything else is left to the
// platform's parser.
bool FrameworkDateSeconds(const std::wstring& text, int64_t& seconds) {
    if (text.size() != 19) return false;
    const wchar_t* t = text.c_str();
    if (t[4] != L'-' || t[7] != L'-' || t[10] != L' ' || t[13] != L':' || t[16] != L':') return false;
    int year, month, day, hour, minute, second;
    if (!Digits(t, 4, year) || !Digits(t + 5, 2, month) || !Digits(t + 8, 2, day) || !Digits(t + 11, 2, hour) ||
        !Digits(t + 14, 2, minute) || !Digits(t + 17, 2, second))
        return false;
    static const int kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1000 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
    if (day > kMonthDays[month - 1] + (month == 2 && IsLeapYear(year))) return false;
    seconds = DaysFromEpoch(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    return true;
}

template <class Values, class Before>
std::vector<size_t> Order(const Values& values, Before before) {
    std::vector<size_t> order(values.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) { return before(values[x], values[y]); });
    return order;
}

} // namespace

int64_t DateSeconds(const std::wstring& text) {
    int64_t seconds = 0;
    if (FrameworkDateSeconds(text, seconds)) return seconds;
    DATE parsed = 0;
    if (FAILED(::VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), LOCALE_USER_DEFAULT, 0, &parsed))) return kNoDate;
    // Whole seconds: the same moment written two ways compares equal.
    return std::llround(PointInTime(parsed) * kSecondsPerDay);
}

// x goes before y exactly when y goes after x: ascending when (y, x) compares positive,
// descending when (x, y) does.
std::vector<size_t> StableOrder(const std::vector<int64_t>& values, bool ascending) {
    if (ascending) return Order(values, [](int64_t x, int64_t y) { return y > x; });
    return Order(values, [](int64_t x, int64_t y) { return x > y; });
}

std::vector<size_t> StableOrder(const std::vector<std::wstring>& texts, bool ascending) {
    if (ascending) return Order(texts, [](const std::wstring& x, const std::wstring& y) { return std::wcscmp(y.c_str(), x.c_str()) > 0; });
    return Order(texts, [](const std::wstring& x, const std::wstring& y) { return std::wcscmp(x.c_str(), y.c_str()) > 0; });
}
