// Filter rules against the texts the list shows: (task, rule) → match, ignoring case.
#include <gtest/gtest.h>
#include <vector>
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

// Each rule with the item names it lets through and those it does not.
TEST(FilterRules, RuleMatchesIgnoringCase) {
    const struct {
        FilterRule rule;
        std::vector<const wchar_t*> pass, fail;
    } cases[] = {
        {{L"Item Name", kBeginsWith, L"p-1"}, {L"P-101", L"p-1"}, {L"xP-1", L"P-", L""}},
        {{L"Item Name", kEndsWith, L"01"}, {L"P-101", L"0101", L"01"}, {L"011", L"1"}},
        {{L"Item Name", kEndsWith, L"-A"}, {L"p-a"}, {L"p-ab"}},
        {{L"Item Name", kContains, L"UMP"}, {L"pump-1"}, {L"pu-mp"}},
        {{L"Item Name", kIsEqual, L"PUMP"}, {L"pump"}, {L"pum", L"pumps"}},
        {{L"Item Name", kBeginsWith, L""}, {L"P-101", L""}, {}},
        {{L"Item Name", kIsEqual, L""}, {L""}, {L"P-101"}},
        {{L"Item Name", 4, L"zzz"}, {L"abc"}, {}},  // another kind passes
        {{L"item name", kContains, L"a"}, {}, {L"abc"}},  // an unknown column reads empty
        {{L"No Such Column", kIsEqual, L""}, {L"abc"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rule.value) + " kind " + std::to_string(c.rule.kind));
        for (const wchar_t* text : c.pass) EXPECT_TRUE(RuleMatches(Item(text), c.rule)) << text;
        for (const wchar_t* text : c.fail) EXPECT_FALSE(RuleMatches(Item(text), c.rule)) << text;
    }
    // On the texts the list shows: "Create Pump", "Update create", "Manual".
    EXPECT_TRUE(RuleMatches(Task(kCategoryCreate, L"Pump"), {L"Task Name", kBeginsWith, L"create"}));
    EXPECT_FALSE(RuleMatches(Task(kCategoryUpdate, L"create"), {L"Task Name", kBeginsWith, L"create"}));
    EXPECT_TRUE(RuleMatches(Task(kCategoryManual, L"x"), {L"Task Category", kIsEqual, L"MANUAL"}));
}

TEST(FilterRules, EveryRuleMustPass) {
    FilterRules rules = {{L"Task Category", kIsEqual, L"manual"}, {L"Created By", kContains, L"smith"}};
    EXPECT_TRUE(FilterMatch(Task(kCategoryManual, L"x", L"", L"J. SMITHSON"), rules));
    EXPECT_FALSE(FilterMatch(Task(kCategoryCreate, L"x", L"", L"smith"), rules));
    EXPECT_FALSE(FilterMatch(Task(kCategoryManual, L"x", L"", L"jones"), rules));
    EXPECT_TRUE(FilterMatch(Task(kCategoryCreate, L"x", L"", L"jones"), FilterRules{}));
}
