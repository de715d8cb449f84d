// The view settings in the client tools' settings store: layout, order of calls,
// defaults, number reading and every failure of the store.
#include <gtest/gtest.h>
#include <comdef.h>
#include "listsettings.h"
#include "support/fault_plan.h"
#include "support/settings_store.h"

namespace {

using Lines = std::vector<std::wstring>;

const Lines kOpenRoot = {
    L"CoCreateInstance(QRClientTools.Globals)", L"GetSettingsRoot", L"CoCreateInstance(QRClientTools.SettingsNode)",
    L"OpenChild QRClientTools",
    L"OpenChild QRClientTools/ToDoListSettings", L"OpenChild QRClientTools/ToDoListSettings/Options",
};

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::vector<ShownColumn> Shown(std::initializer_list<std::pair<const wchar_t*, int>> columns) {
    std::vector<ShownColumn> shown;
    for (auto& c : columns) shown.push_back({c.first, c.second});
    return shown;
}

class ListSettings : public testing::Test {
protected:
    SettingsStore store;
    ViewFlags views;
    ColumnSet columns;

    void Load() { LoadViewSettings(views, columns); }
};

} // namespace

TEST_F(ListSettings, FirstUseGivesAllViewsAndTheDefaultColumns) {
    views.ShowDeleted = views.ShowOpen = views.ShowDeferred = views.ShowCompleted = 0;
    columns = {{L"left over", 5}};
    Load();
    EXPECT_EQ(1, views.ShowDeleted);
    EXPECT_EQ(1, views.ShowOpen);
    EXPECT_EQ(1, views.ShowDeferred);
    EXPECT_EQ(1, views.ShowCompleted);
    ColumnSet defaults = DefaultColumnSet();
    ASSERT_EQ(defaults.size(), columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(defaults[i].name, columns[i].name);
        EXPECT_EQ(100, columns[i].width);
    }
    EXPECT_EQ(Concat({kOpenRoot,
                      {L"GetValue QRClientTools/ToDoListSettings/Options ShowDeleted",
                       L"GetValue QRClientTools/ToDoListSettings/Options ShowOpen",
                       L"GetValue QRClientTools/ToDoListSettings/Options ShowDeferred",
                       L"GetValue QRClientTools/ToDoListSettings/Options ShowCompleted",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns", L"BeginEntries QRClientTools/ToDoListSettings/Columns",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns/0",
                       L"GetValue QRClientTools/ToDoListSettings/Columns/0 Name"}}),
              store.Log());
}

TEST_F(ListSettings, FlagsReadAsNumbersEqualToOne) {
    struct Case {
        const wchar_t* text;
        int expected;
    } cases[] = {{L"1", 1}, {L" 1", 1}, {L"1x", 1}, {L"01", 1}, {L"+1", 1}, {L"0", 0},
                 {L"2", 0}, {L"", 0},   {L"x1", 0}, {L"-1", 0}, {L"11", 0}};
    for (const Case& c : cases) {
        store.Clear();
        store.Set(kOptionsPath, L"ShowOpen", c.text);
        Load();
        EXPECT_EQ(c.expected, views.ShowOpen) << "text \"" << testing::PrintToString(std::wstring(c.text)) << "\"";
        EXPECT_EQ(1, views.ShowDeleted);
    }
}

TEST_F(ListSettings, OnlyShowDeletedStoredOff) {
    store.Set(kOptionsPath, L"ShowDeleted", L"0");
    Load();
    EXPECT_EQ(0, views.ShowDeleted);
    EXPECT_EQ(1, views.ShowOpen);
    EXPECT_EQ(1, views.ShowDeferred);
    EXPECT_EQ(1, views.ShowCompleted);
}

TEST_F(ListSettings, ColumnsLoadUpToTheFirstMissingEntry) {
    store.Set(ColumnPath(0), L"Name", L"Task Name");
    store.Set(ColumnPath(0), L"Width", L"250");
    store.Set(ColumnPath(1), L"Name", L"Run Date");
    store.Set(ColumnPath(3), L"Name", L"Item Name");
    store.Set(ColumnPath(3), L"Width", L"80");
    Load();
    ASSERT_EQ(2u, columns.size());
    EXPECT_EQ(L"Task Name", columns[0].name);
    EXPECT_EQ(250, columns[0].width);
    EXPECT_EQ(L"Run Date", columns[1].name);
    EXPECT_EQ(100, columns[1].width);
    Lines log = store.Log();
    Lines tail(log.end() - 8, log.end());
    EXPECT_EQ((Lines{L"GetValue QRClientTools/ToDoListSettings/Columns/0 Name", L"GetValue QRClientTools/ToDoListSettings/Columns/0 Width",
                     L"OpenChild QRClientTools/ToDoListSettings/Columns/1", L"GetValue QRClientTools/ToDoListSettings/Columns/1 Name",
                     L"GetValue QRClientTools/ToDoListSettings/Columns/1 Width", L"OpenChild QRClientTools/ToDoListSettings/Columns/2",
                     L"GetValue QRClientTools/ToDoListSettings/Columns/2 Name"}),
              Lines(tail.begin() + 1, tail.end()));
}

TEST_F(ListSettings, ColumnTextsAreNotChecked) {
    store.Set(ColumnPath(0), L"Name", L"Not A Column");
    store.Set(ColumnPath(0), L"Width", L"wide");
    store.Set(ColumnPath(1), L"Name", L"");
    store.Set(ColumnPath(1), L"Width", L" 42px");
    Load();
    ASSERT_EQ(2u, columns.size());
    EXPECT_EQ(L"Not A Column", columns[0].name);
    EXPECT_EQ(0, columns[0].width);
    EXPECT_EQ(L"", columns[1].name);
    EXPECT_EQ(42, columns[1].width);
}

TEST_F(ListSettings, FoundResultsOfOtherTypesAreConverted) {
    FaultPlan::Get().SetVariantAnswers(VT_BSTR);
    store.Set(kOptionsPath, L"ShowOpen", L"0");
    store.Set(ColumnPath(0), L"Name", L"Run By");
    Load();
    EXPECT_EQ(0, views.ShowOpen);
    EXPECT_EQ(1, views.ShowDeleted);
    ASSERT_EQ(1u, columns.size());
    FaultPlan::Get().SetVariantAnswers(VT_I4);
    Load();
    EXPECT_EQ(0, views.ShowOpen);
    ASSERT_EQ(1u, columns.size());
    EXPECT_EQ(L"Run By", columns[0].name);
}

TEST_F(ListSettings, StoreWritesFlagsThenColumnsInDisplayOrder) {
    views.ShowDeleted = 0;
    views.ShowDeferred = 5;
    std::vector<ShownColumn> shown = Shown({{L"Run Date", 120}, {L"Task Name", 80}});
    shown.push_back({L"Item Name", std::nullopt});  // width unreadable: none written
    StoreViewSettings(views, shown);
    EXPECT_EQ(Concat({kOpenRoot,
                      {L"SetValue QRClientTools/ToDoListSettings/Options ShowDeleted=0",
                       L"SetValue QRClientTools/ToDoListSettings/Options ShowOpen=1",
                       L"SetValue QRClientTools/ToDoListSettings/Options ShowDeferred=1",
                       L"SetValue QRClientTools/ToDoListSettings/Options ShowCompleted=1",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns", L"BeginEntries QRClientTools/ToDoListSettings/Columns",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns/0",
                       L"SetValue QRClientTools/ToDoListSettings/Columns/0 Name=Run Date",
                       L"SetValue QRClientTools/ToDoListSettings/Columns/0 Width=120",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns/1",
                       L"SetValue QRClientTools/ToDoListSettings/Columns/1 Name=Task Name",
                       L"SetValue QRClientTools/ToDoListSettings/Columns/1 Width=80",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns/2",
                       L"SetValue QRClientTools/ToDoListSettings/Columns/2 Name=Item Name",
                       L"OpenChild QRClientTools/ToDoListSettings/Columns/3", L"EndEntries QRClientTools/ToDoListSettings/Columns/3"}}),
              store.Log());
}

TEST_F(ListSettings, RefusedNameEndsTheColumnLoopButNotTheEntries) {
    FaultPlan::Get().ArmCall(L"SetValue QRClientTools/ToDoListSettings/Columns/1 Name=Run By", S_OK);  // refused
    StoreViewSettings(views, Shown({{L"Task Name", 10}, {L"Run By", 20}, {L"Item Name", 30}}));
    Lines log = store.Log();
    Lines tail(log.end() - 6, log.end());
    EXPECT_EQ((Lines{L"SetValue QRClientTools/ToDoListSettings/Columns/0 Name=Task Name",
                     L"SetValue QRClientTools/ToDoListSettings/Columns/0 Width=10",
                     L"OpenChild QRClientTools/ToDoListSettings/Columns/1",
                     L"SetValue QRClientTools/ToDoListSettings/Columns/1 Name=Run By",
                     L"OpenChild QRClientTools/ToDoListSettings/Columns/3", L"EndEntries QRClientTools/ToDoListSettings/Columns/3"}),
              tail);
}

TEST_F(ListSettings, FewerColumnsStoredAreExactlyWhatTheNextLoadReads) {
    StoreViewSettings(views, Shown({{L"Task Name", 10}, {L"Run By", 20}, {L"Item Name", 30}}));
    StoreViewSettings(views, Shown({{L"Item Name", 70}}));
    Load();
    ASSERT_EQ(1u, columns.size());
    EXPECT_EQ(L"Item Name", columns[0].name);
    EXPECT_EQ(70, columns[0].width);
    // No columns at all: the next load uses the default set.
    StoreViewSettings(views, {});
    Load();
    EXPECT_EQ(14u, columns.size());
}

namespace {

// Runs the operation once to learn its calls, then once per call with that call failing.
void ExpectEveryFailureRaised(SettingsStore& store, const std::function<void()>& operation) {
    store.ClearLog();
    operation();
    std::vector<FaultEvent> calls = FaultPlan::Get().Events();
    ASSERT_FALSE(calls.empty());
    for (const FaultEvent& call : calls) {
        SCOPED_TRACE(testing::PrintToString(call.call));
        store.ClearLog();
        HRESULT failure = call.call.find(L"GetValue") == 0 ? E_ACCESSDENIED : DISP_E_EXCEPTION;
        FaultPlan::Get().Arm(call.rawSite, call.occurrence, failure);
        try {
            operation();
            ADD_FAILURE() << "no error raised";
        } catch (_com_error& e) {
            EXPECT_EQ(failure, e.Error());
            Lines log = store.Log();
            ASSERT_FALSE(log.empty());
            EXPECT_EQ(call.call, log.back());  // the operation ended at the failing call
            IErrorInfo* info = e.ErrorInfo();
            bool created = call.call.find(L"CoCreateInstance") == 0;
            EXPECT_EQ(!created, info != nullptr);  // the object's own information travels along
            if (info) {
                BSTR description = nullptr;
                info->GetDescription(&description);
                EXPECT_EQ(FaultPlan::InjectedDescription(call.rawSite), std::wstring(description ? description : L""));
                SysFreeString(description);
                info->Release();
            }
        }
    }
}

} // namespace

TEST_F(ListSettings, EveryFailureOfTheLoadIsRaised) {
    store.Set(ColumnPath(0), L"Name", L"Task Name");
    store.Set(ColumnPath(0), L"Width", L"50");
    ExpectEveryFailureRaised(store, [this] { Load(); });
}

TEST_F(ListSettings, EveryFailureOfTheStoreIsRaised) {
    ExpectEveryFailureRaised(store, [this] { StoreViewSettings(views, Shown({{L"Task Name", 10}, {L"Run By", 20}})); });
}
