// The view settings in the client tools' settings store: the exact reads and writes of a
// load and a store, what a load makes of what it finds, and every failure of the store.
#include <gtest/gtest.h>
#include <comdef.h>
#include <array>
#include <functional>
#include "listsettings.h"
#include "support/fault_plan.h"
#include "support/settings_store.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

namespace {

using Lines = std::vector<std::wstring>;

const std::wstring kList = L"QRClientTools/ToDoListSettings";

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

const Lines kOpenRoot = {L"CoCreateInstance(QRClientTools.Globals)", L"GetSettingsRoot",
                         L"CoCreateInstance(QRClientTools.SettingsNode)", L"OpenChild QRClientTools", L"OpenChild ~",
                         L"OpenChild ~/Options"};

std::vector<ShownColumn> Shown(std::initializer_list<std::pair<const wchar_t*, int>> columns) {
    std::vector<ShownColumn> shown;
    for (auto& c : columns) shown.push_back({c.first, c.second});
    return shown;
}

class ListSettings : public testing::Test {
protected:
    // The views as deleted/open/deferred/completed, then each column as name:width.
    std::wstring Load() {
        ViewFlags views;
        views.ShowDeleted = views.ShowOpen = views.ShowDeferred = views.ShowCompleted = 9;
        ColumnSet columns = {{L"left over", 5}};
        LoadViewSettings(views, columns);
        std::wstring text = std::to_wstring(views.ShowDeleted) + std::to_wstring(views.ShowOpen) +
                            std::to_wstring(views.ShowDeferred) + std::to_wstring(views.ShowCompleted);
        return text + (Text(columns) == Text(DefaultColumnSet()) ? L" (default columns)" : Text(columns));
    }
    static std::wstring Text(const ColumnSet& columns) {
        std::wstring text;
        for (const ColumnEntry& c : columns) text += L" " + c.name + L":" + std::to_wstring(c.width);
        return text;
    }
    // The store's log with the list's settings node written "~".
    Lines Log() const {
        Lines log = store.Log();
        for (std::wstring& line : log)
            if (size_t at = line.find(kList); at != std::wstring::npos) line.replace(at, kList.size(), L"~");
        return log;
    }
    SettingsStore store;
    ViewFlags views;
};

} // namespace

TEST_F(ListSettings, FirstUseReadsEveryFlagAndTheFirstColumnAndGivesTheDefaults) {
    EXPECT_EQ(L"1111 (default columns)", Load());
    EXPECT_EQ(Concat({kOpenRoot,
                      {L"GetValue ~/Options ShowDeleted", L"GetValue ~/Options ShowOpen", L"GetValue ~/Options ShowDeferred",
                       L"GetValue ~/Options ShowCompleted", L"OpenChild ~/Columns", L"BeginEntries ~/Columns",
                       L"OpenChild ~/Columns/0", L"GetValue ~/Columns/0 Name"}}),
              Log());
}

TEST_F(ListSettings, WhatALoadMakesOfTheStoredTexts) {
    const struct {
        const char* name;
        std::vector<std::array<std::wstring, 3>> stored;  // path, name, text
        std::wstring loaded;
    } cases[] = {
        {"a flag is on when its text reads as the number 1",
         {{kOptionsPath, L"ShowOpen", L" 1"}, {kOptionsPath, L"ShowDeferred", L"1x"}, {kOptionsPath, L"ShowCompleted", L"+1"},
          {kOptionsPath, L"ShowDeleted", L"01"}},
         L"1111 (default columns)"},
        {"other texts are off", {{kOptionsPath, L"ShowOpen", L"2"}, {kOptionsPath, L"ShowDeferred", L""},
                                 {kOptionsPath, L"ShowCompleted", L"x1"}, {kOptionsPath, L"ShowDeleted", L"-1"}},
         L"0000 (default columns)"},
        {"11 is not 1", {{kOptionsPath, L"ShowDeleted", L"11"}}, L"0111 (default columns)"},
        {"deferred alone", {{kOptionsPath, L"ShowDeferred", L"0"}}, L"1101 (default columns)"},
        {"columns up to the first without a name, 100 without a width",
         {{ColumnPath(0), L"Name", L"Task Name"}, {ColumnPath(0), L"Width", L"250"}, {ColumnPath(1), L"Name", L"Run Date"},
          {ColumnPath(3), L"Name", L"Item Name"}, {ColumnPath(3), L"Width", L"80"}},
         L"1111 Task Name:250 Run Date:100"},
        {"column texts are not checked",
         {{ColumnPath(0), L"Name", L"Not A Column"}, {ColumnPath(0), L"Width", L"wide"}, {ColumnPath(1), L"Name", L""},
          {ColumnPath(1), L"Width", L" 42px"}},
         L"1111 Not A Column:0 :42"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore::Clear();
        for (const auto& value : c.stored) SettingsStore::Set(value[0], value[1], value[2]);
        EXPECT_EQ(c.loaded, Load());
    }
    // Answers of another VARIANT type are converted to text.
    SettingsStore::Clear();
    SettingsStore::Set(kOptionsPath, L"ShowOpen", L"0");
    SettingsStore::Set(ColumnPath(0), L"Name", L"Run By");
    for (VARTYPE type : {VT_BSTR, VT_I4}) {
        FaultPlan::Get().SetVariantAnswers(type);
        EXPECT_EQ(L"1011 Run By:100", Load()) << type;
    }
}

TEST_F(ListSettings, StoreWritesFlagsThenColumnsInDisplayOrderAndEndsTheEntriesAfterThem) {
    views.ShowDeleted = 0;
    views.ShowDeferred = 5;
    std::vector<ShownColumn> shown = Shown({{L"Run Date", 120}, {L"Task Name", 80}});
    shown.push_back({L"Item Name", std::nullopt});  // width unreadable: none written
    StoreViewSettings(views, shown);
    EXPECT_EQ(Concat({kOpenRoot,
                      {L"SetValue ~/Options ShowDeleted=0", L"SetValue ~/Options ShowOpen=1",
                       L"SetValue ~/Options ShowDeferred=1", L"SetValue ~/Options ShowCompleted=1", L"OpenChild ~/Columns", L"BeginEntries ~/Columns",
                       L"OpenChild ~/Columns/0", L"SetValue ~/Columns/0 Name=Run Date", L"SetValue ~/Columns/0 Width=120",
                       L"OpenChild ~/Columns/1", L"SetValue ~/Columns/1 Name=Task Name", L"SetValue ~/Columns/1 Width=80",
                       L"OpenChild ~/Columns/2", L"SetValue ~/Columns/2 Name=Item Name", L"OpenChild ~/Columns/3",
                       L"EndEntries ~/Columns/3"}}),
              Log());
    // A refused name ends the column loop, not the entries.
    store.ClearLog();
    FaultPlan::Get().ArmCall(L"SetValue " + kList + L"/Columns/1 Name=Task Name", S_OK);
    StoreViewSettings(views, shown);
    Lines log = Log();
    EXPECT_EQ((Lines{L"OpenChild ~/Columns/1", L"SetValue ~/Columns/1 Name=Task Name", L"OpenChild ~/Columns/3",
                     L"EndEntries ~/Columns/3"}),
              Lines(log.end() - 4, log.end()));
}

namespace {

// Runs the operation once to learn its calls, then once per call with that call failing:
// each failure is raised with the store's error information and ends the operation there.
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
            EXPECT_EQ(call.call, log.back());
            // The store's own error information travels along (none when it was not made).
            auto info = winkit::ComPtr<IErrorInfo>::Attach(e.ErrorInfo());
            winkit::UniqueBstr description;
            if (info) info->GetDescription(description.put());
            EXPECT_EQ(call.call.find(L"CoCreateInstance") == 0 ? L"" : FaultPlan::InjectedDescription(call.rawSite),
                      description.str());
        }
    }
}

} // namespace

TEST_F(ListSettings, EveryFailureOfTheLoadAndTheStoreIsRaised) {
    SettingsStore::Set(ColumnPath(0), L"Name", L"Task Name");
    SettingsStore::Set(ColumnPath(0), L"Width", L"50");
    ExpectEveryFailureRaised(store, [this] { Load(); });
    ExpectEveryFailureRaised(store, [this] { StoreViewSettings(views, Shown({{L"Task Name", 10}, {L"Run By", 20}})); });
}
