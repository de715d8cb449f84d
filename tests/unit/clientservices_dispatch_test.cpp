// The client services object called late-bound, as script clients call it: names and
// DISPIDs from the type library, and by-reference arguments the way VBScript passes
// its variables (VT_VARIANT | VT_BYREF).
#include "clientservices_fixture.h"
#include "winkit/unique_variant.h"

using namespace testcom;

namespace {

class ClientServicesLateBound : public ClientServicesTest {
protected:
    void SetUp() override {
        ClientServicesTest::SetUp();
        ASSERT_EQ(S_OK, services.As(&dispatch));
    }
    void TearDown() override {
        dispatch.reset();
        ClientServicesTest::TearDown();
    }

    DISPID Id(const wchar_t* name) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(S_OK, dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        return id;
    }

    // Arguments in the caller's order; they are passed right to left.
    HRESULT Call(const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        EXCEPINFO exception = {};
        UINT argumentError = 0;
        HRESULT hr = dispatch->Invoke(Id(name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                                      &exception, &argumentError);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        return hr;
    }

    static VARIANT Ref(VARIANT* variable) {
        VARIANT ref;
        V_VT(&ref) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&ref) = variable;
        return ref;
    }

    winkit::ComPtr<IDispatch> dispatch;
};

TEST_F(ClientServicesLateBound, NamesFindTheirDispatchIdentifiers) {
    EXPECT_EQ(4, Id(L"GetEFData"));
    EXPECT_EQ(16, Id(L"ClaimStream"));
    EXPECT_EQ(19, Id(L"ClaimObject"));
    EXPECT_EQ(21, Id(L"SupportsFeature"));
}

TEST_F(ClientServicesLateBound, ScriptVariablesReceiveTheFrameworkAndPlantData) {
    winkit::UniqueVariant signature = winkit::UniqueVariant::String(L"SIG-5"), url = winkit::UniqueVariant::String(L"u"),
                          plant = winkit::UniqueVariant::String(L"EFP5");
    // Variables given to by-value parameters arrive by reference, too.
    ASSERT_EQ(S_OK, Call(L"SetEFData", {Ref(signature.get()), Ref(url.get()), Ref(plant.get())}));

    // One variable never assigned (VT_EMPTY), two holding texts, as a script has them.
    winkit::UniqueVariant a, b = winkit::UniqueVariant::String(L""), c = winkit::UniqueVariant::String(L"old");
    ASSERT_EQ(S_OK, Call(L"GetEFData", {Ref(a.get()), Ref(b.get()), Ref(c.get())}));
    ASSERT_EQ(VT_BSTR, a.vt());
    EXPECT_STREQ(L"SIG-5", V_BSTR(a.get()));
    ASSERT_EQ(VT_BSTR, b.vt());
    EXPECT_STREQ(L"u", V_BSTR(b.get()));
    ASSERT_EQ(VT_BSTR, c.vt());
    EXPECT_STREQ(L"EFP5", V_BSTR(c.get()));

    EXPECT_CALL(*adapter, SetPlantData(Text(L"North"), Text(L"A1"), Text(L"U1")));
    winkit::UniqueVariant north = winkit::UniqueVariant::String(L"North"), a1 = winkit::UniqueVariant::String(L"A1"),
                          u1 = winkit::UniqueVariant::String(L"U1");
    ASSERT_EQ(S_OK, Call(L"SetPlantData", {*north.get(), *a1.get(), *u1.get()}));
    winkit::UniqueVariant p, q, r;
    ASSERT_EQ(S_OK, Call(L"GetPlantData", {Ref(p.get()), Ref(q.get()), Ref(r.get())}));
    ASSERT_EQ(VT_BSTR, r.vt());
    EXPECT_STREQ(L"U1", V_BSTR(r.get()));

    // A variable of another type is not rebound: the type library refuses it.
    winkit::UniqueVariant number = winkit::UniqueVariant::Long(3);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Call(L"GetPlantData", {Ref(p.get()), Ref(q.get()), Ref(number.get())}));
    EXPECT_EQ(VT_I4, number.vt());

    winkit::UniqueVariant supported;
    winkit::UniqueVariant feature = winkit::UniqueVariant::String(L"Claim");
    ASSERT_EQ(S_OK, Call(L"SupportsFeature", {*feature.get()}, supported.put()));
    ASSERT_EQ(VT_BOOL, supported.vt());
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(supported.get()));
}

} // namespace
