// The simulated client tools' registry-backed settings store with its numbered entries,
// written and read as the To Do list keeps its settings there.
#include <gtest/gtest.h>
#include <sstream>
#include "simsettingsnode.h"
#include "support/settings_store.h"
#include "winkit/unique_variant.h"

using winkit::ComPtr;
using winkit::UniqueBstr;

TEST(SimSettingsStore, ValuesReadBackOnTheirPathAndEndEntriesDropsTheEntriesFromTheCountOn) {
    SettingsStore store;  // empty before and after
    ComPtr<ISettingsNode> top;
    ASSERT_EQ(S_OK, sim::SimSettingsNode::Create(nullptr, __uuidof(ISettingsNode), top.put_void()));
    // The node at a path such as "T/Options" or "T/Columns/3".
    auto node = [&](const std::wstring& path) {
        ComPtr<ISettingsNode> node = top;
        std::wistringstream names(path);
        for (std::wstring name; std::getline(names, name, L'/');) {
            ComPtr<ISettingsNode> child;
            EXPECT_EQ(S_OK, node->OpenChild(UniqueBstr::Copy(name).get(), child.put()));
            node = child;
        }
        return node;
    };
    auto set = [&](const std::wstring& path, const wchar_t* name, const std::wstring& text) {
        winkit::UniqueVariant written;
        EXPECT_EQ(S_OK, node(path)->SetValue(UniqueBstr::Copy(name).get(), written.put(), UniqueBstr::Copy(text).get()));
        EXPECT_EQ(VARIANT_TRUE, V_BOOL(written.get()));
    };
    auto get = [&](const std::wstring& path, const wchar_t* name) {  // "(none)" when not found
        winkit::UniqueVariant found;
        UniqueBstr text;
        EXPECT_EQ(S_OK, node(path)->GetValue(UniqueBstr::Copy(name).get(), found.put(), text.put()));
        return V_BOOL(found.get()) == VARIANT_TRUE ? text.str() : L"(none)";
    };
    // Entries 0 to count - 1, then EndEntries on the node named after the count.
    auto storeColumns = [&](int count) {
        ASSERT_EQ(S_OK, node(L"T/Columns")->BeginEntries());
        for (int i = 0; i < count; ++i) set(L"T/Columns/" + std::to_wstring(i), L"Name", L"Column " + std::to_wstring(i));
        ASSERT_EQ(S_OK, node(L"T/Columns/" + std::to_wstring(count))->EndEntries());
    };

    set(L"T/Options", L"ShowDeleted", L"0");
    EXPECT_EQ(L"0|(none)", get(L"T/Options", L"ShowDeleted") + L"|" + get(L"T", L"ShowDeleted"));

    storeColumns(14);
    set(L"T/Columns/Layout", L"Name", L"kept");  // siblings that are no entries
    set(L"T/Columns/01", L"Name", L"kept");
    storeColumns(3);
    EXPECT_EQ((std::map<std::wstring, std::wstring>{
                  {L"T/Columns/0 Name", L"Column 0"}, {L"T/Columns/01 Name", L"kept"}, {L"T/Columns/1 Name", L"Column 1"},
                  {L"T/Columns/2 Name", L"Column 2"}, {L"T/Columns/Layout Name", L"kept"}, {L"T/Options ShowDeleted", L"0"}}),
              SettingsStore::Values());
    storeColumns(0);
    EXPECT_EQ(L"(none)", get(L"T/Columns/0", L"Name"));
}
