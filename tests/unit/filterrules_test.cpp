// Filter rules: their text form and the match, which ignores case.
#include <gtest/gtest.h>
#include "filterrules.h"

namespace {

TaskItem Named(int category, const wchar_t* name) {
    TaskItem t;
    t.ToDo_Index = 1;
    t.ToDo_Category = category;
    t.ToDo_Name = name;
    return t;
}

TaskItem Item(const wchar_t* itemName) {
    TaskItem t = Named(0, L"x");
    t.ToDo_ItemName = itemName;
    return t;
}

} // namespace

TEST(FilterRules, TextForm) {
    EXPECT_STREQ(L" .Prefix. ", FilterKeyword(0));
    EXPECT_STREQ(L" .Postfix.  ", FilterKeyword(1));
    EXPECT_STREQ(L" .Contains. ", FilterKeyword(2));
    EXPECT_STREQ(L" .Equal. ", FilterKeyword(3));
    EXPECT_STREQ(L"", FilterKeyword(4));
    FilterRule rule{L"Item Name", kEndsWith, L"01"};
    EXPECT_EQ(L"Item Name .Postfix.  \"01\" AND", FilterRuleText(rule, true));
    EXPECT_EQ(L"Item Name .Postfix.  \"01\"", FilterRuleText(rule, false));
}

TEST(FilterRules, BeginsWithIgnoresCaseOnTheShownText) {
    FilterRule rule{L"Task Name", kBeginsWith, L"create"};
    EXPECT_TRUE(RuleMatches(Named(kCategoryCreate, L"Pump"), rule));   // "Create Pump"
    EXPECT_FALSE(RuleMatches(Named(kCategoryUpdate, L"create"), rule));  // "Update create"
    FilterRule longer{L"Task Name", kBeginsWith, L"create pump and more"};
    EXPECT_FALSE(RuleMatches(Named(kCategoryCreate, L"Pump"), longer));
}

TEST(FilterRules, EndsWith) {
    FilterRule rule{L"Item Name", kEndsWith, L"01"};
    EXPECT_TRUE(RuleMatches(Item(L"P-101"), rule));
    EXPECT_TRUE(RuleMatches(Item(L"0101"), rule));
    EXPECT_FALSE(RuleMatches(Item(L"011"), rule));
    EXPECT_FALSE(RuleMatches(Item(L"1"), rule));
    EXPECT_TRUE(RuleMatches(Item(L"01"), rule));
    FilterRule upper{L"Item Name", kEndsWith, L"-A"};
    EXPECT_TRUE(RuleMatches(Item(L"p-a"), upper));
}

TEST(FilterRules, ContainsAndIsEqual) {
    FilterRule contains{L"Item Name", kContains, L"UMP"};
    EXPECT_TRUE(RuleMatches(Item(L"pump-1"), contains));
    EXPECT_FALSE(RuleMatches(Item(L"pu-mp"), contains));
    FilterRule equal{L"Task Category", kIsEqual, L"manual"};
    EXPECT_TRUE(RuleMatches(Named(kCategoryManual, L"x"), equal));
    EXPECT_FALSE(RuleMatches(Named(kCategoryCreate, L"x"), equal));
    FilterRule equalLonger{L"Task Category", kIsEqual, L"manuals"};
    EXPECT_FALSE(RuleMatches(Named(kCategoryManual, L"x"), equalLonger));
}

TEST(FilterRules, EmptyValues) {
    TaskItem withText = Item(L"P-101");
    TaskItem withoutText = Item(L"");
    for (int kind : {kBeginsWith, kEndsWith, kContains}) {
        EXPECT_TRUE(RuleMatches(withText, FilterRule{L"Item Name", kind, L""})) << kind;
        EXPECT_TRUE(RuleMatches(withoutText, FilterRule{L"Item Name", kind, L""})) << kind;
    }
    EXPECT_FALSE(RuleMatches(withText, FilterRule{L"Item Name", kIsEqual, L""}));
    EXPECT_TRUE(RuleMatches(withoutText, FilterRule{L"Item Name", kIsEqual, L""}));
}

TEST(FilterRules, OtherKindsPassAndUnknownColumnsReadEmpty) {
    EXPECT_TRUE(RuleMatches(Item(L"abc"), FilterRule{L"Item Name", 4, L"zzz"}));
    EXPECT_TRUE(RuleMatches(Item(L"abc"), FilterRule{L"Item Name", -1, L"zzz"}));
    EXPECT_FALSE(RuleMatches(Item(L"abc"), FilterRule{L"item name", kContains, L"a"}));
    EXPECT_TRUE(RuleMatches(Item(L"abc"), FilterRule{L"No Such Column", kIsEqual, L""}));
}

TEST(FilterRules, AllRulesMustPass) {
    FilterRules rules = {{L"Task Category", kIsEqual, L"manual"}, {L"Created By", kContains, L"smith"}};
    auto task = [](int category, const wchar_t* by) {
        TaskItem t = Named(category, L"x");
        t.ToDo_CreatedBy = by;
        return t;
    };
    EXPECT_TRUE(FilterMatch(task(kCategoryManual, L"J. SMITHSON"), rules));
    EXPECT_FALSE(FilterMatch(task(kCategoryCreate, L"smith"), rules));
    EXPECT_FALSE(FilterMatch(task(kCategoryManual, L"jones"), rules));
    EXPECT_TRUE(FilterMatch(task(kCategoryCreate, L"jones"), FilterRules{}));
}
