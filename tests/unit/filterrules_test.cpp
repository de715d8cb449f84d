// Filter rules against the texts the list shows: (task, rule) → match, ignoring case.
#include <gtest/gtest.h>
#include "filterrules.h"

namespace {

TaskItem Task(int category, const wchar_t* name, const wchar_t* itemName = L"", const wchar_t* createdBy = L"") {
    TaskItem t;
    t.ToDo_Index = 1;
    t.ToDo_Category = category;
    t.ToDo_Name = name;
    t.ToDo_ItemName = itemName;
    t.ToDo_CreatedBy = createdBy;
    return t;
}

TaskItem Item(const wchar_t* itemName) { return Task(0, L"x", itemName); }

} // namespace

TEST(FilterRules, KeywordsOfTheRuleList) {
    std::wstring keywords;
    for (int kind = 0; kind <= 4; ++kind) keywords += std::wstring(FilterKeyword(kind)) + L"|";
    EXPECT_EQ(L" .Prefix. | .Postfix.  | .Contains. | .Equal. ||", keywords);
}

TEST(FilterRules, RuleMatches) {
    const struct {
        TaskItem task;
        FilterRule rule;
        bool matches;
    } cases[] = {
        {Task(kCategoryCreate, L"Pump"), {L"Task Name", kBeginsWith, L"create"}, true},  // "Create Pump"
        {Task(kCategoryUpdate, L"create"), {L"Task Name", kBeginsWith, L"create"}, false},
        {Task(kCategoryCreate, L"Pump"), {L"Task Name", kBeginsWith, L"create pump and more"}, false},
        {Item(L"P-101"), {L"Item Name", kEndsWith, L"01"}, true},
        {Item(L"0101"), {L"Item Name", kEndsWith, L"01"}, true},
        {Item(L"01"), {L"Item Name", kEndsWith, L"01"}, true},
        {Item(L"011"), {L"Item Name", kEndsWith, L"01"}, false},
        {Item(L"1"), {L"Item Name", kEndsWith, L"01"}, false},
        {Item(L"p-a"), {L"Item Name", kEndsWith, L"-A"}, true},
        {Item(L"pump-1"), {L"Item Name", kContains, L"UMP"}, true},
        {Item(L"pu-mp"), {L"Item Name", kContains, L"UMP"}, false},
        {Task(kCategoryManual, L"x"), {L"Task Category", kIsEqual, L"MANUAL"}, true},
        {Task(kCategoryCreate, L"x"), {L"Task Category", kIsEqual, L"manual"}, false},
        {Task(kCategoryManual, L"x"), {L"Task Category", kIsEqual, L"manuals"}, false},
        {Task(kCategoryManual, L"x"), {L"Task Category", kIsEqual, L"manu"}, false},
        {Item(L"P-101"), {L"Item Name", kBeginsWith, L""}, true},
        {Item(L""), {L"Item Name", kBeginsWith, L""}, true},
        {Item(L"P-101"), {L"Item Name", kEndsWith, L""}, true},
        {Item(L"P-101"), {L"Item Name", kContains, L""}, true},
        {Item(L""), {L"Item Name", kContains, L""}, true},
        {Item(L"P-101"), {L"Item Name", kIsEqual, L""}, false},
        {Item(L""), {L"Item Name", kIsEqual, L""}, true},
        {Item(L"abc"), {L"Item Name", 4, L"zzz"}, true},  // another kind passes
        {Item(L"abc"), {L"Item Name", -1, L"zzz"}, true},
        {Item(L"abc"), {L"item name", kContains, L"a"}, false},  // an unknown column reads empty
        {Item(L"abc"), {L"No Such Column", kIsEqual, L""}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, RuleMatches(c.task, c.rule)) << c.rule.column << " " << c.rule.kind << " " << c.rule.value;
}

TEST(FilterRules, EveryRuleMustPass) {
    FilterRules rules = {{L"Task Category", kIsEqual, L"manual"}, {L"Created By", kContains, L"smith"}};
    EXPECT_TRUE(FilterMatch(Task(kCategoryManual, L"x", L"", L"J. SMITHSON"), rules));
    EXPECT_FALSE(FilterMatch(Task(kCategoryCreate, L"x", L"", L"smith"), rules));
    EXPECT_FALSE(FilterMatch(Task(kCategoryManual, L"x", L"", L"jones"), rules));
    EXPECT_TRUE(FilterMatch(Task(kCategoryCreate, L"x", L"", L"jones"), FilterRules{}));
}
