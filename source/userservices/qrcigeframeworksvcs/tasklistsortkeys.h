#pragma once
// The header-click sort order of the task list.
//
// Two tasks compare on a column as (first, second): texts by UTF-16 code unit (wcscmp);
// dates as points in time, a text that does not parse counting as later than every date;
// status codes and deleted flags by difference. A task goes after another only when the
// comparison is positive, and the sort is stable: tasks that compare equal keep their
// order. Ascending compares (a, b), descending (b, a): descending is therefore not the
// reverse of ascending where tasks compare equal.
#include <cstdint>
#include <string>
#include <vector>

// A date text as seconds from 1899-12-30 00:00 on a continuous scale, or kNoDate when
// the text does not parse (VarDateFromStr, user locale, no flags). The framework's own
// form "yyyy-mm-dd hh:mm:ss" is read directly, to the same point in time: the platform's
// parser costs microseconds a text.
inline constexpr int64_t kNoDate = INT64_MAX;
int64_t DateSeconds(const std::wstring& text);

// The order of a stable sort: element i is the index of the value that goes to place i.
// kNoDate, the largest value, goes after every other value ascending, before them
// descending: as a text that is not a date does.
std::vector<size_t> StableOrder(const std::vector<int64_t>& values, bool ascending);
std::vector<size_t> StableOrder(const std::vector<std::wstring>& texts, bool ascending);
