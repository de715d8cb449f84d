// The late-bound call: id lookup and its cache, argument order, the put's named value,
// the locale and the HRESULTs handed back.
#include <gtest/gtest.h>
#include <vector>
#include "automationcall.h"
#include "support/fake_spreadsheet.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

namespace {

class AutomationCallTest : public testing::Test {
protected:
    std::shared_ptr<FakeSpreadsheet> model = std::make_shared<FakeSpreadsheet>();
    winkit::ComPtr<IDispatch> application = winkit::ComPtr<IDispatch>::Attach(model->NewApplication());

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

TEST_F(AutomationCallTest, WithoutAnObjectFailsBeforeAnyLookup) {
    DISPID id = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(E_FAIL, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, nullptr, id, L"Visible", {*yes.get()}));
    EXPECT_EQ(-1, id);
    EXPECT_TRUE(model->lookups.empty());
}

TEST_F(AutomationCallTest, LooksTheNameUpOnceAndKeepsItsId) {
    DISPID visible = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(558, visible);
    ASSERT_EQ(1u, model->lookups.size());
    EXPECT_EQ(L"Visible", model->lookups[0].name);
    EXPECT_TRUE(model->lookups[0].nullInterface);
    EXPECT_EQ(1u, model->lookups[0].count);
    EXPECT_EQ(static_cast<LCID>(LOCALE_USER_DEFAULT), model->lookups[0].locale);

    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(1u, model->lookups.size()) << "the cached id is used";
    ASSERT_EQ(2u, model->calls.size());
    for (const CallRecord& call : model->calls) {
        EXPECT_EQ(L"Visible", call.member);
        EXPECT_TRUE(call.nullInterface);
        EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), call.locale);
        EXPECT_FALSE(call.exceptionInfoGiven);
        EXPECT_FALSE(call.argumentErrorGiven);
    }
}

TEST_F(AutomationCallTest, AnIdFoundOnOneObjectServesTheNextOfItsKind) {
    auto sheet = FirstSheet();
    auto a1 = Get(sheet.get(), L"Range", {*winkit::UniqueVariant::String(L"A1").get()});
    auto b2 = Get(sheet.get(), L"Range", {*winkit::UniqueVariant::String(L"B2").get()});
    size_t lookupsBefore = model->lookups.size();
    DISPID value = -1;
    winkit::UniqueVariant text = winkit::UniqueVariant::String(L"x");
    EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, a1.get(), value, L"Value", {*text.get()}));
    EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, b2.get(), value, L"Value", {*text.get()}));
    ASSERT_EQ(lookupsBefore + 1, model->lookups.size());
    EXPECT_EQ(L"Sheet1!A1", model->lookups.back().object);
    EXPECT_EQ(L"Sheet1!B2", model->calls.back().object);
}

TEST_F(AutomationCallTest, ALookupFailureIsReturnedAndNothingIsInvoked) {
    DISPID id = -1;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, AutomationCall(DISPATCH_PROPERTYGET, nullptr, application.get(), id, L"Nope"));
    EXPECT_EQ(1u, model->lookups.size());
    EXPECT_TRUE(model->calls.empty());
}

TEST_F(AutomationCallTest, ArgumentsReachInvokeLastFirst) {
    auto sheet = FirstSheet();
    auto a1 = Get(sheet.get(), L"Range", {*winkit::UniqueVariant::String(L"A1").get()});
    DISPID resize = -1;
    winkit::UniqueVariant rows = winkit::UniqueVariant::Long(3), columns = winkit::UniqueVariant::Long(5), result;
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYGET, result.get(), a1.get(), resize, L"Resize", {*rows.get(), *columns.get()}));
    const CallRecord& call = model->calls.back();
    ASSERT_EQ(2u, call.received.size());
    EXPECT_EQ(L"5", call.received[0].text);
    EXPECT_EQ(L"3", call.received[1].text);
    EXPECT_TRUE(call.named.empty());
    EXPECT_EQ(DISPATCH_PROPERTYGET, call.kind);
    EXPECT_EQ(VT_DISPATCH, result.vt());
    EXPECT_EQ(L"Sheet1!A1 get Resize(VT_I4 3, VT_I4 5)", call.Line());
    // The caller's VARIANTs are copied, not taken: they still hold their values.
    EXPECT_EQ(3, V_I4(rows.get()));
}

TEST_F(AutomationCallTest, APutNamesItsValueAndOtherKindsNameNothing) {
    DISPID visible = -1, workbooks = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true), result;
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), visible, L"Visible", {*yes.get()}));
    ASSERT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYGET, result.get(), application.get(), workbooks, L"Workbooks"));
    ASSERT_EQ(2u, model->calls.size());
    EXPECT_EQ(std::vector<DISPID>{DISPID_PROPERTYPUT}, model->calls[0].named);
    ASSERT_EQ(1u, model->calls[0].received.size());
    EXPECT_EQ(VT_BOOL, model->calls[0].received[0].type);
    EXPECT_EQ(L"-1", model->calls[0].received[0].text);
    EXPECT_TRUE(model->calls[1].named.empty());
    EXPECT_TRUE(model->calls[1].received.empty());
}

TEST_F(AutomationCallTest, InvokesFailureComesBack) {
    model->failure = [](const CallRecord& call) { return call.member == L"UserControl" ? DISP_E_EXCEPTION : S_OK; };
    DISPID id = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(DISP_E_EXCEPTION, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, application.get(), id, L"UserControl", {*yes.get()}));
    EXPECT_EQ(1210, id) << "the id stays known after a failed call";
}

namespace {

// A component whose first lookup fails after writing an id anyway, as a failure other
// than an unknown name may (the out-array is then undefined), and whose second succeeds.
class ScribblingLookup final : public IDispatch {
public:
    std::vector<DISPID> invoked;
    int lookups = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
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
    ScribblingLookup component;
    DISPID visible = -1;
    winkit::UniqueVariant yes = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(RPC_E_DISCONNECTED, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, &component, visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(-1, visible);
    EXPECT_TRUE(component.invoked.empty());
    // The next call looks the name up again instead of invoking the id left behind.
    EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYPUT, nullptr, &component, visible, L"Visible", {*yes.get()}));
    EXPECT_EQ(2, component.lookups);
    EXPECT_EQ(std::vector<DISPID>{558}, component.invoked);
    EXPECT_EQ(558, visible);
}
