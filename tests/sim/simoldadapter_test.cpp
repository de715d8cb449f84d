// The simulated older adapter: what it keeps, and its claims decisions.
#include <gtest/gtest.h>
#include "claimpolicy.h"
#include "diagnostics/qrerrorelement.h"
#include "simoldclientservices.h"
#include "simtestsupport.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_safearray.h"

using namespace sim;
using winkit::ComPtr;
using winkit::UniqueBstr;

namespace {

class SimOldAdapter : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, SimOldClientServices::Create(nullptr, __uuidof(IQREFOldClientServices), adapter_.put_void()));
        adapter_->SetFrameworkData(B(L"ZOD-7F3A-2291"), B(L"http://ef"), B(L"NORTHFIELD"), B(L"jdoe"), B(L"Northfield"));
    }
    BSTR B(const wchar_t* text) { return held_.emplace_back(UniqueBstr::Copy(text)).get(); }
    const AdapterState& State() { return static_cast<SimOldClientServices*>(adapter_.get())->State(); }

    // The message, or "FAILED: <first Desc>".
    std::wstring Synchronize(const wchar_t* claims) {
        UniqueBstr message;
        SetErrorInfo(0, nullptr);
        HRESULT hr = adapter_->SynchronizeClaims(B(claims), message.put());
        if (FAILED(hr)) {
            EXPECT_EQ(E_INVALIDARG, hr);
            EXPECT_EQ(nullptr, message.get());
            return L"FAILED: " + FirstDesc(simtest::TakeErrorDescription());
        }
        EXPECT_NE(nullptr, message.get());
        return message.str();
    }

    ComPtr<IQREFOldClientServices> adapter_;
    std::vector<UniqueBstr> held_;
};

} // namespace

TEST(SimClaimPolicy, RefusesObjectsLockedBySomeoneElse) {
    EXPECT_EQ(L"", RefusedClaimsMessage({{L"1001", L"P-101A", false, L""}}, L"jdoe"));
    EXPECT_EQ(L"V-205 (OID 1002) is locked by kmueller and cannot be claimed",
              RefusedClaimsMessage({{L"1001", L"P-101A", false, L""}, {L"1002", L"V-205", true, L"kmueller"}}, L"jdoe"));
    EXPECT_EQ(L"", RefusedClaimsMessage({{L"1002", L"V-205", true, L"JDoe"}}, L"jdoe"));
    EXPECT_EQ(L"The object 7 is locked and cannot be claimed\r\nP-102 (OID 1007) is locked by kmueller and cannot be claimed",
              RefusedClaimsMessage({{L"7", L"", true, L""}, {L"1007", L"P-102", true, L"kmueller"}}, L""));
}

TEST_F(SimOldAdapter, SynchronizeClaimsAnswersRefusalsAndFailsForMalformedDocuments) {
    EXPECT_EQ(L"", Synchronize(L"<Claims>\n<Claim OID=\"1001\" Name=\"P-101A\" Locked=\"0\"/>\n</Claims>"));
    EXPECT_EQ(L"V-205 (OID 1002) is locked by kmueller and cannot be claimed",
              Synchronize(L"<Claims><Claim OID=\"1003\" Name=\"E-104\"/><Claim OID=\"1002\" Name=\"V-205\" Locked=\"1\" LockedBy=\"kmueller\"/></Claims>"));
    EXPECT_EQ((std::vector<std::wstring>{L"1001", L"1003"}), State().claimed);

    EXPECT_EQ(L"FAILED: The claims document is empty", Synchronize(L""));
    EXPECT_EQ(0u, Synchronize(L"<Claims><Claim OID=\"1\"></Claims>").find(L"FAILED: The claims document is not well-formed XML"));
    EXPECT_EQ(L"FAILED: The claims document carries a document type declaration, which is not accepted",
              Synchronize(L"<!DOCTYPE Claims [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><Claims><Claim OID=\"&e;\"/></Claims>"));
    EXPECT_EQ(L"FAILED: The claims document has the root element 'Claim' instead of 'Claims'", Synchronize(L"<Claim OID=\"1\"/>"));
    EXPECT_EQ(L"FAILED: Claim 2 of the claims document has no OID", Synchronize(L"<Claims><Claim OID=\"1\"/><Claim Name=\"x\"/></Claims>"));
    EXPECT_EQ(L"FAILED: Claim 1 has the Locked value 'maybe'; 0, 1, true or false are expected",
              Synchronize(L"<Claims><Claim OID=\"1\" Locked=\"maybe\"/></Claims>"));
    EXPECT_EQ(E_POINTER, adapter_->SynchronizeClaims(B(L"<Claims/>"), nullptr));
    SetErrorInfo(0, nullptr);
}

TEST_F(SimOldAdapter, KeepsWhatItIsGivenAndAnswersTheForwardedCalls) {
    adapter_->SetRestore(nullptr);
    adapter_->SetPlantData(B(L"Northfield Refinery"), B(L"Area 01 Feed"), B(L"Unit 0101"));
    adapter_->SetProductName(B(L"Morvandel"));
    EXPECT_EQ(S_OK, adapter_->Initialize(nullptr));
    const AdapterState& state = State();
    EXPECT_FALSE(state.restoreGiven);
    EXPECT_EQ(L"Unit 0101", state.unit);
    EXPECT_EQ(L"jdoe", state.userId);
    EXPECT_EQ(L"Morvandel", state.productName);
    EXPECT_TRUE(state.initialized);
    EXPECT_EQ(S_OK, adapter_->ConnectToEF());
    EXPECT_TRUE(state.connected);

    // The file name is given only when there is one; otherwise the caller's stays.
    UniqueBstr name = UniqueBstr::Copy(L"handed over");
    BSTR raw = name.get();
    EXPECT_EQ(S_OK, adapter_->get_XMLFileName(&raw));
    EXPECT_EQ(name.get(), raw);
    adapter_->put_XMLFileName(B(L"C:\\exchange\\unit0101.xml"));
    UniqueBstr kept;
    EXPECT_EQ(S_OK, adapter_->get_XMLFileName(kept.put()));
    EXPECT_EQ(L"C:\\exchange\\unit0101.xml", kept.str());

    winkit::UniqueSafeArray projects;
    ASSERT_EQ(S_OK, adapter_->GetProjectList(projects.put()));
    VARTYPE type = VT_EMPTY;
    SafeArrayGetVartype(projects.get(), &type);
    EXPECT_EQ(VT_VARIANT, type);
    LONG upper = -1;
    SafeArrayGetUBound(projects.get(), 1, &upper);
    EXPECT_EQ(2, upper);
    EXPECT_EQ(S_OK, adapter_->PublishProjectAsBuilt(B(L"As-Built")));
    EXPECT_EQ(E_INVALIDARG, adapter_->PublishProjectAsBuilt(B(L"Unknown project")));
    EXPECT_EQ(S_OK, adapter_->Publish(B(L"1001")));
    EXPECT_EQ(E_INVALIDARG, adapter_->Revise(B(L"")));
    EXPECT_EQ(S_OK, adapter_->LaunchFrameworkBrowser());
    EXPECT_EQ((std::vector<std::wstring>{L"1001"}), state.published);
    EXPECT_EQ(S_OK, adapter_->UnInitialize());
    EXPECT_FALSE(state.initialized);
    SetErrorInfo(0, nullptr);
}
