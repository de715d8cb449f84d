// The simulated client tools: version-specific identifiers and the registry-backed
// settings store with its numbered entries.
#include <gtest/gtest.h>
#include "diagnostics/qrerrorelement.h"
#include "settingsregistry.h"
#include "simglobals.h"
#include "simsettingsnode.h"
#include "simtestsupport.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_handle.h"

using namespace sim;
using winkit::ComPtr;
using winkit::UniqueBstr;

namespace {

class SimSettingsStore : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, SimSettingsNode::Create(nullptr, __uuidof(ISettingsNode), top_.put_void()));
        testRoot_ = L"SimTests-" + std::to_wstring(GetCurrentProcessId());
        root_ = Child(top_.get(), testRoot_.c_str());
    }
    void TearDown() override {
        top_->DeleteChild(UniqueBstr::Copy(testRoot_).get());
        EXPECT_FALSE(KeyExists(testRoot_));
    }

    static ComPtr<ISettingsNode> Child(ISettingsNode* node, const wchar_t* name) {
        ComPtr<ISettingsNode> child;
        EXPECT_EQ(S_OK, node->OpenChild(UniqueBstr::Copy(name).get(), child.put()));
        return child;
    }
    static bool Set(ISettingsNode* node, const wchar_t* name, const wchar_t* text) {
        VARIANT written;
        VariantInit(&written);
        EXPECT_EQ(S_OK, node->SetValue(UniqueBstr::Copy(name).get(), &written, UniqueBstr::Copy(text).get()));
        return V_VT(&written) == VT_BOOL && V_BOOL(&written) == VARIANT_TRUE;
    }
    // The text, or "(none)" when the value is not found.
    static std::wstring Get(ISettingsNode* node, const wchar_t* name) {
        VARIANT found;
        VariantInit(&found);
        UniqueBstr text;
        EXPECT_EQ(S_OK, node->GetValue(UniqueBstr::Copy(name).get(), &found, text.put()));
        EXPECT_EQ(VT_BOOL, V_VT(&found));
        EXPECT_NE(nullptr, text.get());
        return V_BOOL(&found) == VARIANT_TRUE ? text.str() : L"(none)";
    }
    static bool KeyExists(const std::wstring& path) {
        winkit::UniqueHKey key;
        return RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath(path).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    }
    // Stores `count` column entries the way the To Do list does.
    void StoreColumns(ISettingsNode* columns, int count) {
        ASSERT_EQ(S_OK, columns->BeginEntries());
        for (int i = 0; i < count; ++i) {
            ComPtr<ISettingsNode> entry = Child(columns, std::to_wstring(i).c_str());
            ASSERT_TRUE(Set(entry.get(), L"Name", (L"Column " + std::to_wstring(i)).c_str()));
            ASSERT_TRUE(Set(entry.get(), L"Width", L"100"));
        }
        ASSERT_EQ(S_OK, Child(columns, std::to_wstring(count).c_str())->EndEntries());
    }

    ComPtr<ISettingsNode> top_;
    ComPtr<ISettingsNode> root_;
    std::wstring testRoot_;
};

} // namespace

TEST(SimGlobals, NamesTheRootAndTheAdaptersVersionedProgId) {
    EXPECT_EQ(L"QREFOldAdapter380.ClientServices.1", VersionSpecificIdentifier(L"QREFOldAdapter380.ClientServices"));
    EXPECT_EQ(L"QREFOldAdapter380.ClientServices.1", VersionSpecificIdentifier(L"qrefoldadapter380.clientservices"));
    EXPECT_EQ(L"QREFOldAdapter380.ClientServices.2", VersionSpecificIdentifier(L"QREFOldAdapter380.ClientServices.2"));
    EXPECT_EQ(L"Excel.Application", VersionSpecificIdentifier(L"Excel.Application"));
    EXPECT_EQ(L"", VersionSpecificIdentifier(L""));

    ComPtr<IGlobals> globals;
    ASSERT_EQ(S_OK, SimGlobals::Create(nullptr, __uuidof(IGlobals), globals.put_void()));
    UniqueBstr root, versioned;
    EXPECT_EQ(S_OK, globals->GetSettingsRoot(root.put()));
    EXPECT_EQ(L"QRClientTools", root.str());
    EXPECT_EQ(S_OK, globals->GetVersionSpecificIdentifier(nullptr, versioned.put()));
    EXPECT_EQ(L"", versioned.str());
    EXPECT_EQ(E_POINTER, globals->GetVersionSpecificIdentifier(nullptr, nullptr));
    SetErrorInfo(0, nullptr);
}

TEST_F(SimSettingsStore, ValuesWrittenAreFoundOnTheSamePathAndChildrenNeedNoKeyUntilWritten) {
    ComPtr<ISettingsNode> options = Child(Child(root_.get(), L"ToDoListSettings").get(), L"Options");
    EXPECT_FALSE(KeyExists(testRoot_ + L"\\ToDoListSettings\\Options"));
    EXPECT_EQ(L"(none)", Get(options.get(), L"ShowDeleted"));
    EXPECT_TRUE(Set(options.get(), L"ShowDeleted", L"0"));
    EXPECT_TRUE(Set(options.get(), L"ShowOpen", L""));
    EXPECT_TRUE(KeyExists(testRoot_ + L"\\ToDoListSettings\\Options"));
    ComPtr<ISettingsNode> again = Child(Child(root_.get(), L"ToDoListSettings").get(), L"Options");
    EXPECT_EQ(L"0", Get(again.get(), L"ShowDeleted"));
    EXPECT_EQ(L"", Get(again.get(), L"ShowOpen"));
    EXPECT_TRUE(Set(again.get(), L"ShowDeleted", L"1"));
    EXPECT_EQ(L"1", Get(options.get(), L"ShowDeleted"));
    UniqueBstr name;
    EXPECT_EQ(S_OK, again->GetName(name.put()));
    EXPECT_EQ(L"Options", name.str());

    ComPtr<ISettingsNode> refused;
    EXPECT_EQ(E_INVALIDARG, root_->OpenChild(UniqueBstr::Copy(L"a\\b").get(), refused.put()));
    EXPECT_EQ(E_INVALIDARG, root_->OpenChild(UniqueBstr::Copy(L"").get(), refused.put()));
    EXPECT_FALSE(refused);
    VARIANT written;
    VariantInit(&written);
    EXPECT_EQ(E_INVALIDARG, options->SetValue(nullptr, &written, UniqueBstr::Copy(L"x").get()));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(&written));
    SetErrorInfo(0, nullptr);
}

TEST_F(SimSettingsStore, EndEntriesLeavesNoEntryFromTheCountOnward) {
    ComPtr<ISettingsNode> columns = Child(Child(root_.get(), L"ToDoListSettings").get(), L"Columns");
    StoreColumns(columns.get(), 14);
    // Siblings that are not entries stay.
    ASSERT_TRUE(Set(Child(columns.get(), L"Layout").get(), L"Name", L"kept"));
    ASSERT_TRUE(Set(Child(columns.get(), L"01").get(), L"Name", L"kept"));
    StoreColumns(columns.get(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(L"Column " + std::to_wstring(i), Get(Child(columns.get(), std::to_wstring(i).c_str()).get(), L"Name"));
    for (int i = 3; i < 14; ++i) EXPECT_FALSE(KeyExists(testRoot_ + L"\\ToDoListSettings\\Columns\\" + std::to_wstring(i))) << i;
    EXPECT_EQ(L"kept", Get(Child(columns.get(), L"Layout").get(), L"Name"));
    EXPECT_EQ(L"kept", Get(Child(columns.get(), L"01").get(), L"Name"));
    // A store of no columns leaves none.
    StoreColumns(columns.get(), 0);
    EXPECT_EQ(L"(none)", Get(Child(columns.get(), L"0").get(), L"Name"));
    // EndEntries on a node that is no count is a mistake of the caller.
    EXPECT_EQ(E_UNEXPECTED, columns->EndEntries());
    EXPECT_EQ(E_UNEXPECTED, top_->EndEntries());
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(std::optional<unsigned long long>(18446744073709551615ULL), EntryNumber(L"99999999999999999999999"));
    EXPECT_EQ(std::nullopt, EntryNumber(L"-1"));
    EXPECT_EQ(std::nullopt, EntryNumber(L" 1"));
}
