// The simulated older adapter: its claims decisions, the documents it refuses, and what
// the client services rely on in the calls they forward.
#include <gtest/gtest.h>
#include "simoldclientservices.h"
#include "simtestsupport.h"

using winkit::UniqueBstr;

TEST(SimOldAdapter, DecidesClaimsKeepsTheCallersFileNameAndConnectsOnceItHasTheUrl) {
    winkit::ComPtr<IQREFOldClientServices> adapter;
    ASSERT_EQ(S_OK, sim::SimOldClientServices::Create(nullptr, __uuidof(IQREFOldClientServices), adapter.put_void()));
    auto text = [](const wchar_t* value) { return UniqueBstr::Copy(value); };
    adapter->SetFrameworkData(text(L"ZOD-7F3A-2291").get(), text(L"http://ef").get(), text(L"NORTHFIELD").get(),
                              text(L"jdoe").get(), text(L"Northfield").get());
    const struct {
        const wchar_t* claims;
        HRESULT hr;
        const wchar_t* answer;  // the message, or the first Desc after a failure
    } cases[] = {
        {L"<Claims>\n<Claim OID=\"1001\" Name=\"P-101A\" Locked=\"0\"/>\n</Claims>", S_OK, L""},
        {L"<Claims><Claim OID=\"1004\" Locked=\"true\" LockedBy=\"JDoe\"/></Claims>", S_OK, L""},  // held by the user already
        {L"<Claims><Claim OID=\"7\" Locked=\"1\"/><Claim OID=\"8\" Name=\"P-102\" Locked=\"1\" LockedBy=\"kmueller\"/></Claims>", S_OK,
         L"The object 7 is locked and cannot be claimed\r\nP-102 (OID 8) is locked by kmueller and cannot be claimed"},
        {L"", E_INVALIDARG, L"The claims document is empty"},
        {L"<!DOCTYPE Claims [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><Claims><Claim OID=\"&e;\"/></Claims>", E_INVALIDARG,
         L"The claims document carries a document type declaration, which is not accepted"},
        {L"<Claims><Claim OID=\"1\"/><Claim Name=\"x\"/></Claims>", E_INVALIDARG, L"Claim 2 of the claims document has no OID"},
        {L"<Claims><Claim OID=\"1\" Locked=\"maybe\"/></Claims>", E_INVALIDARG,
         L"Claim 1 has the Locked value 'maybe'; 0, 1, true or false are expected"},
    };
    for (const auto& c : cases) {
        UniqueBstr message;
        EXPECT_EQ(c.hr, adapter->SynchronizeClaims(text(c.claims).get(), message.put())) << c.claims;
        EXPECT_EQ(c.answer, SUCCEEDED(c.hr) ? message.str() : simtest::TakeErrorDesc());
        EXPECT_EQ(SUCCEEDED(c.hr), message.get() != nullptr);
    }
    EXPECT_EQ(E_POINTER, adapter->SynchronizeClaims(text(L"<Claims/>").get(), nullptr));

    // The file name is handed back only when one was given; otherwise the caller's stays.
    UniqueBstr name = UniqueBstr::Copy(L"handed over");
    BSTR raw = name.get();
    EXPECT_EQ(S_OK, adapter->get_XMLFileName(&raw));
    EXPECT_EQ(name.get(), raw);
    adapter->put_XMLFileName(text(L"C:\\exchange\\unit0101.xml").get());
    UniqueBstr kept;
    EXPECT_EQ(S_OK, adapter->get_XMLFileName(kept.put()));
    EXPECT_EQ(L"C:\\exchange\\unit0101.xml", kept.str());

    EXPECT_EQ(S_OK, adapter->ConnectToEF());
    adapter->SetFrameworkData(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(E_UNEXPECTED, adapter->ConnectToEF()) << "without a framework URL";
    simtest::TakeErrorDesc();
}
