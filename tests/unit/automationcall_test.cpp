// The late-bound call's own rules: failures handed back, nothing invoked without an id,
// the id kept. Its lookups, cache, argument order and named put value are seen whole in
// the report's call log (tasklistreport_test.cpp).
#include <gtest/gtest.h>
#include <vector>
#include "applicationobject.h"
#include "automationcall.h"
#include "support/fake_com.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

TEST(AutomationCall, FailuresComeBackAndNothingMoreIsCalled) {
    FaultPlan::Get().Start();
    winkit::ComPtr<ApplicationObject> made = ApplicationObject::Create([](const Workbook&) {});
    auto application = winkit::ComPtr<IDispatch>::Attach(fault::WrapAutomationObject(made.get(), L"Application"));
    DISPID id = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(E_FAIL, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, nullptr, id, L"Visible", {*yes.get()}));
    EXPECT_EQ(-1, id);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, AutomationCall(DISPATCH_PROPERTYGET, nullptr, application.get(), id, L"Nope"));
    EXPECT_EQ(-1, id);
    FaultPlan::Get().Arm(L"Excel Application::Invoke(UserControl)", 1, DISP_E_EXCEPTION);
    EXPECT_EQ(DISP_E_EXCEPTION,
              AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), id, L"UserControl", {*yes.get()}));
    EXPECT_EQ(kMemberUserControl, id) << "the id stays known after a failed call";
    EXPECT_EQ(VT_BOOL, yes.vt()) << "the caller's VARIANTs are copied, not taken";
    EXPECT_EQ((std::vector<std::wstring>{L"Application.Nope", L"Application.UserControl",
                                         L"Application put UserControl = VT_BOOL -1"}),
              FaultPlan::Get().Calls());
    FaultPlan::Get().Start();
}

namespace {

// A component whose first lookup fails after writing an id anyway, as a failure other
// than an unknown name may (the out-array is then undefined), and whose second succeeds.
struct ScribblingLookup final : testcom::FakeComObject<IDispatch> {
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

TEST(AutomationCall, AFailedLookupLeavesTheCacheUnknownWhateverTheComponentWrote) {
    testcom::Fake<ScribblingLookup> component;
    DISPID visible = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(RPC_E_DISCONNECTED,
              AutomationCall(DISPATCH_PROPERTYPUT, nullptr, component.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(-1, visible);
    EXPECT_TRUE(component->invoked.empty());
    // The next call looks the name up again instead of invoking the id left behind.
    EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, component.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(2, component->lookups);
    EXPECT_EQ(std::vector<DISPID>{558}, component->invoked);
    EXPECT_EQ(558, visible);
}
