// ClaimObject and ClaimStream.
#include "clientservices_fixture.h"
#include "winkit/unique_variant.h"

using namespace testcom;
using winkit::UniqueVariant;

namespace {

const std::wstring kClaims = L"<Claims><Claim OID=\"17\"/></Claims>";
const std::wstring kSynchronized = L"adapter SynchronizeClaims('" + kClaims + L"')";

// The selection made, run and asked for its dispatch interface; then for each identifier
// its RunCommand and its ClaimObject's framework call.
Calls Claimed(std::initializer_list<LONG> ids, const std::wstring& host = L"workspace") {
    Calls calls = {L"selection Run(null)", L"selection QueryInterface('DQRCSelectKBDlg')"};
    for (LONG id : ids) {
        calls.push_back(L"selection RunCommand('ClaimStream', " + std::to_wstring(id) + L", " + host + L", 0, 0)");
        calls.push_back(L"framework SynchronizeObjectClaim('" + std::to_wstring(id) + L"')");
    }
    return calls;
}

// A one-dimensional array of I2, I4 or VARIANT from `lower`, each element converted to `type`.
template <class... Elements>
UniqueVariant Array(VARTYPE type, LONG lower, const Elements&... elements) {
    UniqueVariant array;
    V_VT(array.get()) = VT_ARRAY | type;
    V_ARRAY(array.get()) = SafeArrayCreateVector(type, lower, sizeof...(elements));
    LONG index = lower;
    for (VARIANT* value : {const_cast<VARIANT*>(elements.get())...}) {
        UniqueVariant element;
        if (type == VT_VARIANT) VariantCopy(element.get(), value);
        else VariantChangeType(element.get(), value, 0, type);
        void* data = type == VT_VARIANT ? static_cast<void*>(element.get()) : static_cast<void*>(&V_I4(element.get()));
        SafeArrayPutElement(V_ARRAY(array.get()), &index, data);
        ++index;
    }
    return array;
}

UniqueVariant L(LONG value) { return UniqueVariant::Long(value); }

class ClientServicesClaims : public ClientServicesTest {
protected:
    void SetUp() override {
        ClientServicesTest::SetUp();
        ASSERT_EQ(S_OK, services->Initialize(Ws()));
        partners.names[host.get()] = L"host";
    }
    Fake<FakeDispatch> host;  // a workspace given to ClaimStream goes to the selection
};

TEST_F(ClientServicesClaims, ClaimObjectAsksTheFrameworkThenHasTheAdapterSynchronize) {
    const HRESULT kUnknownObject = static_cast<HRESULT>(0x80043001);
    Run({
        {"claims", CALL(ClaimObject(B(L"17").get())),
         {{L"framework", {S_OK, kClaims}}, {L"adapter", {S_OK, L"not used"}}},
         S_OK, L"", {L"framework SynchronizeObjectClaim('17')", kSynchronized}},
        {"no claims", CALL(ClaimObject(B(L"17").get())), {}, S_OK, L"", {L"framework SynchronizeObjectClaim('17')"}},
        {"the adapter's failure", CALL(ClaimObject(B(L"17").get())),
         {{L"framework", {S_OK, kClaims}}, {L"adapter", {E_FAIL, L"locked", L"Object 17 is locked"}}}, E_FAIL, L"",
         {L"framework SynchronizeObjectClaim('17')", kSynchronized}, kClaimObject,
         L"<QRError Desc=\"Object 17 is locked\" HR=\"E_FAIL\" />\r\n"
         L"<QRError Desc=\"Object 17 is locked\" Src=\"QREFOldAdapter\" HR=\"E_FAIL\" />"},
        {"the adapter's success code", CALL(ClaimObject(B(L"18").get())),
         {{L"framework", {S_OK, kClaims}}, {L"adapter", {S_FALSE}}}, S_FALSE, L"",
         {L"framework SynchronizeObjectClaim('18')", kSynchronized}},
        {"the framework's failure", CALL(ClaimObject(B(L"99").get())),
         {{L"framework", {kUnknownObject, {}, L"No object 99"}}}, kUnknownObject, L"",
         {L"framework SynchronizeObjectClaim('99')"}, kClaimObject,
         L"<QRError Desc=\"No object 99\" HR=\"0x80043001\" />\r\n"
         L"<QRError Desc=\"No object 99\" Src=\"QRSim.Framework\" HR=\"0x80043001\" />"},
    });
}

// Zeros are skipped; an array must be of I2, I4 or VARIANT and say so;
// elements that are no number are skipped; any other value is taken as one number.
TEST_F(ClientServicesClaims, ClaimStreamClaimsEachIdentifierInOrder) {
    UniqueVariant zero = L(0), zeros = Array(VT_I4, 0, L(0), L(0), L(0)), longs = Array(VT_I4, 0, L(5), L(7), L(9)),
                  shorts = Array(VT_I2, 0, L(-3), L(0), L(4)), text = UniqueVariant::String(L"42"),
                  mixed = Array(VT_VARIANT, 3, L(11), UniqueVariant::String(L"12"), UniqueVariant::String(L"abc"),
                                UniqueVariant(), UniqueVariant::Double(13.0)),
                  word = UniqueVariant::String(L"stream"), mislabelled;
    V_VT(mislabelled.get()) = VT_ARRAY | VT_I4;  // its elements are VARIANTs
    V_ARRAY(mislabelled.get()) = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    Run({
        {"zero", CALL(ClaimStream(Ws(), *zero.get())), {}, S_OK, L"", Claimed({})},
        {"zeros", CALL(ClaimStream(Ws(), *zeros.get())), {}, S_OK, L"", Claimed({})},
        {"longs, for another workspace", CALL(ClaimStream(host.get(), *longs.get())), {}, S_OK, L"",
         Claimed({5, 7, 9}, L"host")},
        {"shorts", CALL(ClaimStream(Ws(), *shorts.get())), {}, S_OK, L"", Claimed({-3, 4})},
        {"variants from 3", CALL(ClaimStream(Ws(), *mixed.get())), {}, S_OK, L"", Claimed({11, 12, 13})},
        {"a text", CALL(ClaimStream(Ws(), *text.get())), {}, S_OK, L"", Claimed({42})},
        {"mislabelled", CALL(ClaimStream(Ws(), *mislabelled.get())), {}, S_OK, L"", Claimed({})},
        {"a word", CALL(ClaimStream(Ws(), *word.get())), {}, S_OK, L"", Claimed({})},
        {"a failed object claim does not stop the others", CALL(ClaimStream(Ws(), *longs.get())),
         {{L"framework SynchronizeObjectClaim('5')", {E_FAIL}},
          {L"framework SynchronizeObjectClaim('9')", {S_OK, kClaims}}},
         S_OK, L"", Then(Claimed({5, 7, 9}), {kSynchronized})},
    });
}

TEST_F(ClientServicesClaims, ClaimStreamFailsWithTheSelectionsError) {
    const std::wstring noSelection = L"Unable to connect to QRCGenericSvcs::QRCSelectKBDlg";
    const HRESULT kClaimed = static_cast<HRESULT>(0x80044001);
    const std::wstring claimedByOther =
        L"<QRError Desc=\"The stream is claimed by another user\" HR=\"0x80044001\" />\r\n"
        L"<QRError Desc=\"The stream is claimed by another user\" Src=\"QRCSelectKBDlg\" HR=\"0x80044001\" />";
    const std::wstring sixFails = L"selection RunCommand('ClaimStream', 6, workspace, 0, 0)";
    UniqueVariant five = L(5), fiveSixSeven = Array(VT_I4, 0, L(5), L(6), L(7));
    Run({
        {"not created", CALL(ClaimStream(Ws(), *five.get())), {{L"selection create", {REGDB_E_CLASSNOTREG}}},
         REGDB_E_CLASSNOTREG, L"", {}, L"", L"<QRError Desc=\"" + noSelection + L"\" HR=\"0x80040154\" />"},
        {"not run", CALL(ClaimStream(Ws(), *five.get())), {{L"selection Run", {E_ACCESSDENIED}}}, E_ACCESSDENIED, L"",
         {L"selection Run(null)"}, L"", L"<QRError Desc=\"" + noSelection + L"\" HR=\"E_ACCESSDENIED\" />"},
        {"no dispatch interface", CALL(ClaimStream(Ws(), *five.get())), {{L"selection QueryInterface", {E_NOINTERFACE}}},
         E_NOINTERFACE, L"", Claimed({}), L"", L"<QRError Desc=\"" + noSelection + L"\" HR=\"E_NOINTERFACE\" />"},
        {"RunCommand fails with error information on the thread", CALL(ClaimStream(Ws(), *fiveSixSeven.get())),
         {{sixFails, {kClaimed, {}, L"The stream is claimed by another user"}}}, kClaimed, L"",
         Then(Claimed({5}), {sixFails}),
         L"QRCSelectKBDlg", claimedByOther},
        {"RunCommand fails with EXCEPINFO", CALL(ClaimStream(Ws(), *fiveSixSeven.get())),
         {{sixFails, {kClaimed, {}, L"The stream is claimed by another user", true}}}, kClaimed, L"",
         Then(Claimed({5}), {sixFails}), L"QRCSelectKBDlg", claimedByOther},
    });
}

} // namespace
