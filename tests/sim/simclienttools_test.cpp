// The simulated client tools' registry-backed settings store with its numbered entries,
// as the To Do list keeps its settings there.
#include <gtest/gtest.h>
#include "settingsregistry.h"
#include "simsettingsnode.h"
#include "simtestsupport.h"
#include "support/registry_helpers.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

using winkit::ComPtr;
using winkit::UniqueBstr;

namespace {

ComPtr<ISettingsNode> Child(const ComPtr<ISettingsNode>& node, const std::wstring& name) {
    ComPtr<ISettingsNode> child;
    EXPECT_EQ(S_OK, node->OpenChild(UniqueBstr::Copy(name).get(), child.put()));
    return child;
}

void Set(const ComPtr<ISettingsNode>& node, const wchar_t* name, const std::wstring& text) {
    winkit::UniqueVariant written;
    EXPECT_EQ(S_OK, node->SetValue(UniqueBstr::Copy(name).get(), written.put(), UniqueBstr::Copy(text).get()));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(written.get()));
}

// The text, or "(none)" when the value is not found.
std::wstring Get(const ComPtr<ISettingsNode>& node, const wchar_t* name) {
    winkit::UniqueVariant found;
    UniqueBstr text;
    EXPECT_EQ(S_OK, node->GetValue(UniqueBstr::Copy(name).get(), found.put(), text.put()));
    return V_BOOL(found.get()) == VARIANT_TRUE ? text.str() : L"(none)";
}

ComPtr<ISettingsNode> Top() {
    ComPtr<ISettingsNode> top;
    EXPECT_EQ(S_OK, sim::SimSettingsNode::Create(nullptr, __uuidof(ISettingsNode), top.put_void()));
    return top;
}

class SimSettingsStore : public testing::Test {
protected:
    void TearDown() override {
        EXPECT_EQ(S_OK, top_->DeleteChild(UniqueBstr::Copy(testRoot_).get()));
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, sim::SettingsKeyPath(testRoot_)));
        simtest::TakeErrorDesc();
    }
    // Stores `count` column entries as the To Do list does: entries 0 to count - 1, then
    // EndEntries on the node named after the count.
    void StoreColumns(int count) {
        ASSERT_EQ(S_OK, columns_->BeginEntries());
        for (int i = 0; i < count; ++i) Set(Child(columns_, std::to_wstring(i)), L"Name", L"Column " + std::to_wstring(i));
        ASSERT_EQ(S_OK, Child(columns_, std::to_wstring(count))->EndEntries());
    }

    std::wstring testRoot_ = L"SimTests-" + std::to_wstring(GetCurrentProcessId());
    ComPtr<ISettingsNode> top_ = Top(), root_ = Child(top_, testRoot_), columns_ = Child(root_, L"Columns");
};

} // namespace

TEST_F(SimSettingsStore, ValuesAreFoundAgainOnTheSamePathOnly) {
    EXPECT_EQ(L"(none)", Get(Child(root_, L"Options"), L"ShowDeleted"));
    Set(Child(root_, L"Options"), L"ShowDeleted", L"0");
    Set(Child(root_, L"Options"), L"ShowOpen", L"");
    EXPECT_EQ(L"0", Get(Child(root_, L"Options"), L"ShowDeleted"));
    EXPECT_EQ(L"", Get(Child(root_, L"Options"), L"ShowOpen"));
    EXPECT_EQ(L"(none)", Get(root_, L"ShowDeleted"));
    EXPECT_EQ(L"(none)", Get(Child(columns_, L"Options"), L"ShowDeleted"));
    UniqueBstr name;
    EXPECT_EQ(S_OK, Child(root_, L"Options")->GetName(name.put()));
    EXPECT_EQ(L"Options", name.str());
    ComPtr<ISettingsNode> refused;
    for (const wchar_t* bad : {L"a\\b", L""}) EXPECT_EQ(E_INVALIDARG, root_->OpenChild(UniqueBstr::Copy(bad).get(), refused.put()));
    EXPECT_FALSE(refused);
    winkit::UniqueVariant written;
    EXPECT_EQ(E_INVALIDARG, root_->SetValue(nullptr, written.put(), UniqueBstr::Copy(L"x").get()));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(written.get()));
}

TEST_F(SimSettingsStore, EndEntriesLeavesNoEntryFromTheCountOnward) {
    StoreColumns(14);
    Set(Child(columns_, L"Layout"), L"Name", L"kept");  // siblings that are no entries
    Set(Child(columns_, L"01"), L"Name", L"kept");
    StoreColumns(3);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(i < 3 ? L"Column " + std::to_wstring(i) : L"(none)", Get(Child(columns_, std::to_wstring(i)), L"Name")) << i;
    EXPECT_EQ(L"kept", Get(Child(columns_, L"Layout"), L"Name"));
    EXPECT_EQ(L"kept", Get(Child(columns_, L"01"), L"Name"));
    StoreColumns(0);
    EXPECT_EQ(L"(none)", Get(Child(columns_, L"0"), L"Name"));
    // EndEntries on a node that is no count is the caller's mistake.
    EXPECT_EQ(E_UNEXPECTED, columns_->EndEntries());
    EXPECT_EQ(E_UNEXPECTED, top_->EndEntries());
}
