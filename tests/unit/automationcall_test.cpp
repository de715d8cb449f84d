// The late-bound call against the spreadsheet application's own objects behind the
// recording proxies: id lookup and its cache, argument order, the put's named value, the
// locale and the HRESULTs handed back.
#include <gtest/gtest.h>
#include <vector>
#include "applicationobject.h"
#include "automationcall.h"
#include "support/fake_com.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

namespace {

class AutomationCallTest : public testing::Test {
protected:
    void SetUp() override { FaultPlan::Get().Start(); }
    void TearDown() override { FaultPlan::Get().Start(); }

    static winkit::ComPtr<IDispatch> NewApplication() {
        winkit::ComPtr<ApplicationObject> made = ApplicationObject::Create([](const Workbook&) {});
        return winkit::ComPtr<IDispatch>::Attach(fault::WrapAutomationObject(made.get(), L"Application"));
    }
    static std::vector<std::wstring> Calls() { return FaultPlan::Get().Calls(L"::Invoke("); }
    static std::vector<std::wstring> Lookups() { return FaultPlan::Get().Calls(L"::GetIDsOfNames("); }

    winkit::ComPtr<IDispatch> application = NewApplication();

    // Gets an object-valued member with AutomationCall itself.
    winkit::ComPtr<IDispatch> Get(IDispatch* object, const wchar_t* name, std::initializer_list<VARIANT> arguments = {}) {
        DISPID id = -1;
        winkit::UniqueVariant result;
        EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYGET, result.get(), object, id, name, arguments));
        return result.vt() == VT_DISPATCH ? winkit::ComPtr<IDispatch>(V_DISPATCH(result.get())) : nullptr;
    }
    winkit::ComPtr<IDispatch> FirstSheet() {
        auto workbooks = Get(application.get(), L"Workbooks");
        DISPID add = -1;
        winkit::UniqueVariant book;
        EXPECT_EQ(S_OK, AutomationCall(DISPATCH_METHOD, book.get(), workbooks.get(), add, L"Add"));
        auto sheets = Get(V_DISPATCH(book.get()), L"Sheets");
        return Get(sheets.get(), L"Item", {*winkit::UniqueVariant::Long(1).get()});
    }
};

} // namespace

// The whole log of lookups and calls of a run of calls; the report's own sequence is
// checked in its tests.
TEST_F(AutomationCallTest, LooksEachNameUpOnceAndInvokesWithArgumentsLastFirst) {
    DISPID visible = -1, workbooks = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true), result;
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), visible, L"Visible", {*yes.get()}));
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(kMemberVisible, visible);
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYGET, result.get(), application.get(), workbooks, L"Workbooks"));
    auto sheet = FirstSheet();
    auto a1 = Get(sheet.get(), L"Range", {*winkit::UniqueVariant::String(L"A1").get()});
    DISPID resize = -1;
    winkit::UniqueVariant rows = winkit::UniqueVariant::Long(3), columns = winkit::UniqueVariant::Long(5);
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYGET, result.get(), a1.get(), resize, L"Resize", {*rows.get(), *columns.get()}));
    EXPECT_EQ(VT_DISPATCH, result.vt());
    EXPECT_EQ(3, V_I4(rows.get())) << "the caller's VARIANTs are copied, not taken";
    // The put names its one argument DISPID_PROPERTYPUT; Invoke got 5 then 3 (the line
    // shows them in the member's order).
    EXPECT_EQ((std::vector<std::wstring>{L"Application.Visible", L"Application put Visible = VT_BOOL -1",
                                         L"Application put Visible = VT_BOOL -1", L"Application.Workbooks",
                                         L"Application get Workbooks()", L"Application.Workbooks", L"Application get Workbooks()",
                                         L"Workbooks.Add",
                                         L"Workbooks call Add()", L"Workbook.Sheets", L"Workbook get Sheets()", L"Sheets.Item",
                                         L"Sheets get Item(VT_I4 1)", L"Sheet1.Range", L"Sheet1 get Range(VT_BSTR \"A1\")",
                                         L"Sheet1!A1.Resize", L"Sheet1!A1 get Resize(VT_I4 3, VT_I4 5)"}),
              FaultPlan::Get().Calls());
}

TEST_F(AutomationCallTest, FailuresComeBackAndNothingMoreIsCalled) {
    DISPID id = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(E_FAIL, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, nullptr, id, L"Visible", {*yes.get()}));
    EXPECT_EQ(-1, id);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, AutomationCall(DISPATCH_PROPERTYGET, nullptr, application.get(), id, L"Nope"));
    EXPECT_EQ(-1, id);
    FaultPlan::Get().Arm(L"Excel Application::Invoke(UserControl)", 1, DISP_E_EXCEPTION);
    EXPECT_EQ(DISP_E_EXCEPTION, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), id, L"UserControl", {*yes.get()}));
    EXPECT_EQ(kMemberUserControl, id) << "the id stays known after a failed call";
    EXPECT_EQ((std::vector<std::wstring>{L"Application.Nope", L"Application.UserControl",
                                         L"Application put UserControl = VT_BOOL -1"}),
              FaultPlan::Get().Calls());
}

namespace {

// A component whose first lookup fails after writing an id anyway, as a failure other
// than an unknown name may (the out-array is then undefined), and whose second succeeds.
class ScribblingLookup final : public testcom::FakeComObject<IDispatch> {
public:
    std::vector<DISPID> invoked;
    int lookups = 0;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
        if (++lookups == 1) {
            ids[0] = 77;
            return RPC_E_DISCONNECTED;
        }
        ids[0] = 558;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        invoked.push_back(id);
        return S_OK;
    }
};

} // namespace

TEST(AutomationCallCache, AFailedLookupLeavesTheCacheUnknownWhateverTheComponentWrote) {
    testcom::Fake<ScribblingLookup> component;
    DISPID visible = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(RPC_E_DISCONNECTED, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, component.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(-1, visible);
    EXPECT_TRUE(component->invoked.empty());
    // The next call looks the name up again instead of invoking the id left behind.
    EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, component.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(2, component->lookups);
    EXPECT_EQ(std::vector<DISPID>{558}, component->invoked);
    EXPECT_EQ(558, visible);
}
