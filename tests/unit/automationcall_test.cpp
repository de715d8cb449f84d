// The late-bound call's own rules; its argument order is seen whole in tasklistreport_test.cpp.
#include <gtest/gtest.h>
#include <vector>
#include "automationcall.h"
#include "support/fake_com.h"
#include "winkit/unique_variant.h"

namespace {

// A component whose first lookup fails after writing an id anyway, as a failure other
// than an unknown name may (the out-array is then undefined); later lookups succeed. Its
// second invocation fails.
struct ScribblingLookup final : testcom::FakeComObject<IDispatch> {
    std::vector<DISPID> invoked;
    int lookups = 0;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
        ids[0] = ++lookups == 1 ? 77 : 558;
        return lookups == 1 ? RPC_E_DISCONNECTED : S_OK;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        invoked.push_back(id);
        return invoked.size() == 2 ? DISP_E_EXCEPTION : S_OK;
    }
};

} // namespace

TEST(AutomationCall, FailuresComeBackAndANameIsLookedUpUntilItsIdIsKnown) {
    testcom::Fake<ScribblingLookup> component;
    DISPID visible = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    auto put = [&] { return AutomationCall(DISPATCH_PROPERTYPUT, nullptr, component.get(), visible, L"Visible", {*yes.get()}); };
    EXPECT_EQ(E_FAIL, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, nullptr, visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(RPC_E_DISCONNECTED, put());
    EXPECT_EQ(-1, visible);
    EXPECT_TRUE(component->invoked.empty());
    // The next call looks the name up again instead of invoking the id left behind; the
    // one after it invokes the id found without a lookup.
    EXPECT_EQ(S_OK, put());
    EXPECT_EQ(DISP_E_EXCEPTION, put());
    EXPECT_EQ(2, component->lookups);
    EXPECT_EQ((std::vector<DISPID>{558, 558}), component->invoked);
    EXPECT_EQ(558, visible) << "the id stays known after a failed call";
    EXPECT_EQ(VT_BOOL, yes.vt()) << "the caller's VARIANTs are copied, not taken";
}
