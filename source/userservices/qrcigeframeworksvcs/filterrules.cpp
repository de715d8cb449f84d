#include "filterrules.h"

#include <windows.h>
#include "tasklistcolumns.h"

namespace {

// The platform's lower-casing, as the list box's own case-insensitive search uses.
std::wstring Lower(std::wstring text) {
    if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

bool operator==(const FilterRule& a, const FilterRule& b) {
    return a.column == b.column && a.kind == b.kind && a.value == b.value;
}

const wchar_t* FilterKeyword(int kind) {
    switch (kind) {
    case kBeginsWith: return L" .Prefix. ";
    case kEndsWith: return L" .Postfix.  ";
    case kContains: return L" .Contains. ";
    case kIsEqual: return L" .Equal. ";
    default: return L"";
    }
}

bool RuleMatches(const TaskItem& task, const FilterRule& rule) {
    std::wstring text = Lower(ColumnText(task, rule.column));
    std::wstring value = Lower(rule.value);
    switch (rule.kind) {
    case kBeginsWith: return text.compare(0, value.size(), value) == 0 && text.size() >= value.size();
    case kEndsWith: return EndsWith(text, value);
    case kContains: return text.find(value) != std::wstring::npos;
    case kIsEqual: return text == value;
    default: return true;
    }
}

bool FilterMatch(const TaskItem& task, const FilterRules& rules) {
    for (const FilterRule& rule : rules)
        if (!RuleMatches(task, rule)) return false;
    return true;
}
