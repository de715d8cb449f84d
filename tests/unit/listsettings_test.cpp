// The view settings in the client tools' settings store.
#include <gtest/gtest.h>
#include <comdef.h>
#include <array>
#include <functional>
#include "listsettings.h"
#include "support/fault_plan.h"
#include "support/settings_store.h"

namespace {

const std::wstring kList = L"QRClientTools/ToDoListSettings";
const std::wstring kOpenRoot = L"CoCreateInstance(QRClientTools.Globals)|GetSettingsRoot|"
                               L"CoCreateInstance(QRClientTools.SettingsNode)|OpenChild QRClientTools|OpenChild ~|"
                               L"OpenChild ~/Options|";

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
    // The store's log as "call|call|...", the list's settings node written "~".
    std::wstring Log() const {
        std::wstring log;
        for (std::wstring line : store.Log()) {
            if (size_t at = line.find(kList); at != std::wstring::npos) line.replace(at, kList.size(), L"~");
            log += (log.empty() ? L"" : L"|") + line;
        }
        return log;
    }
    SettingsStore store;
    ViewFlags views;
};

} // namespace

TEST_F(ListSettings, FirstUseReadsEveryFlagAndTheFirstColumnAndGivesTheDefaults) {
    EXPECT_EQ(L"1111 (default columns)", Load());
    EXPECT_EQ(kOpenRoot + L"GetValue ~/Options ShowDeleted|GetValue ~/Options ShowOpen|GetValue ~/Options ShowDeferred|"
                          L"GetValue ~/Options ShowCompleted|OpenChild ~/Columns|BeginEntries ~/Columns|"
                          L"OpenChild ~/Columns/0|GetValue ~/Columns/0 Name",
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
          {kOptionsPath, L"ShowDeleted", L"01"}}, L"1111 (default columns)"},
        {"other texts are off", {{kOptionsPath, L"ShowOpen", L"2"}, {kOptionsPath, L"ShowDeferred", L""},
                                 {kOptionsPath, L"ShowCompleted", L"x1"}, {kOptionsPath, L"ShowDeleted", L"-1"}},
         L"0000 (default columns)"},
        {"deferred alone", {{kOptionsPath, L"ShowDeferred", L"11"}}, L"1101 (default columns)"},
        {"columns up to the first without a name, 100 without a width",
         {{ColumnPath(0), L"Name", L"Task Name"}, {ColumnPath(0), L"Width", L"250"}, {ColumnPath(1), L"Name", L"Run Date"},
          {ColumnPath(3), L"Name", L"Item Name"}, {ColumnPath(3), L"Width", L"80"}},
         L"1111 Task Name:250 Run Date:100"},
        {"column texts are not checked", {{ColumnPath(0), L"Name", L"Not A Column"}, {ColumnPath(0), L"Width", L" 42px"}},
         L"1111 Not A Column:42"},
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
    // The width of Item Name could not be read: none is written.
    const std::vector<ShownColumn> shown = {{L"Run Date", 120}, {L"Task Name", 80}, {L"Item Name", std::nullopt}};
    StoreViewSettings(views, shown);
    const std::wstring flags = kOpenRoot + L"SetValue ~/Options ShowDeleted=0|SetValue ~/Options ShowOpen=1|"
                                           L"SetValue ~/Options ShowDeferred=1|SetValue ~/Options ShowCompleted=1|"
                                           L"OpenChild ~/Columns|BeginEntries ~/Columns|OpenChild ~/Columns/0|"
                                           L"SetValue ~/Columns/0 Name=Run Date|SetValue ~/Columns/0 Width=120|";
    EXPECT_EQ(flags + L"OpenChild ~/Columns/1|SetValue ~/Columns/1 Name=Task Name|SetValue ~/Columns/1 Width=80|"
                      L"OpenChild ~/Columns/2|SetValue ~/Columns/2 Name=Item Name|OpenChild ~/Columns/3|EndEntries ~/Columns/3",
              Log());
    // A refused name ends the column loop, not the entries.
    store.ClearLog();
    FaultPlan::Get().ArmCall(L"SetValue " + kList + L"/Columns/1 Name=Task Name", S_OK);
    StoreViewSettings(views, shown);
    EXPECT_EQ(flags + L"OpenChild ~/Columns/1|SetValue ~/Columns/1 Name=Task Name|OpenChild ~/Columns/3|EndEntries ~/Columns/3",
              Log());
}

// Runs the operation once to learn its calls, then once per call with that call failing:
// each failure is raised with the store's error information and ends the operation there.
static void ExpectEveryFailureRaised(SettingsStore& store, const std::function<void()>& operation) {
    store.ClearLog();
    operation();
    std::vector<FaultEvent> calls = FaultPlan::Get().Events();
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
            ASSERT_FALSE(store.Log().empty());
            EXPECT_EQ(call.call, store.Log().back());
            // The store's own error information travels along (none when it was not made).
            EXPECT_EQ(call.call.find(L"CoCreateInstance") == 0 ? L"" : FaultPlan::InjectedDescription(call.rawSite),
                      std::wstring(e.Description().length() ? static_cast<const wchar_t*>(e.Description()) : L""));
        }
    }
}

TEST_F(ListSettings, EveryFailureOfTheLoadAndTheStoreIsRaised) {
    SettingsStore::Set(ColumnPath(0), L"Name", L"Task Name");
    SettingsStore::Set(ColumnPath(0), L"Width", L"50");
    ExpectEveryFailureRaised(store, [this] { Load(); });
    ExpectEveryFailureRaised(store, [this] { StoreViewSettings(views, {{L"Task Name", 10}, {L"Run By", 20}}); });
}
