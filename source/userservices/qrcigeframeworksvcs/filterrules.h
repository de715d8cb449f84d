#pragma once
// Filter rules: conditions on a task's column texts that every listed task satisfies.
// They live as long as the task list dialog and are never stored.
#include <string>
#include <vector>
#include "taskitem.h"

enum FilterKind { kBeginsWith = 0, kEndsWith = 1, kContains = 2, kIsEqual = 3 };

struct FilterRule {
    std::wstring column;  // a column name of the task list
    int kind = kBeginsWith;
    std::wstring value;
};

bool operator==(const FilterRule& a, const FilterRule& b);

using FilterRules = std::vector<FilterRule>;

// " .Prefix. ", " .Postfix.  ", " .Contains. ", " .Equal. "; "" for another kind.
const wchar_t* FilterKeyword(int kind);

// Whether the task's text in the rule's column passes the rule, ignoring case. A kind
// outside the four passes.
bool RuleMatches(const TaskItem& task, const FilterRule& rule);

// Whether the task passes every rule (rules are joined by AND; no rules: yes).
bool FilterMatch(const TaskItem& task, const FilterRules& rules);
