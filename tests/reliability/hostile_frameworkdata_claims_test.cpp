// Hostile framework data (GetEFData) through the client services object's Initialize,
// and hostile claims documents through ClaimObject (SynchronizeObjectClaim) and through a
// task's run (ActionTask), both reaching the registered adapter. None may crash or hang:
// framework data that does not read keeps what was read before and gives S_FALSE;
// a claims document is granted, refused with a message, or fails with a QRError.
#include <gtest/gtest.h>
#include <chrono>
#include "clientservices.h"
#include "diagnostics/qrcomexception.h"
#include "support/canary_file.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"
#include "support/hostile_documents.h"
#include "taskitemcollection.h"
#include "taskoperations.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"

using winkit::UniqueBstr;

namespace {

const std::wstring kFullFrameworkData =
    L"<EFData EFURL=\"http://ef.example/zud\" EFPLANT=\"EFP1\" EFSIGNATURE=\"SIG-1\" TEFVERSION=\"3.65\""
    L" EFUID=\"uid7\" EFNAME=\"Framework One\" RESTORE=\"r\" PLANTNAME=\"North\" AREANAME=\"A20\" UNITNAME=\"U3\"/>";

// Signature, URL and framework plant, as GetEFData gives them.
struct FrameworkTexts {
    std::wstring signature, url, plant;
    bool operator==(const FrameworkTexts& other) const {
        return signature == other.signature && url == other.url && plant == other.plant;
    }
};
std::ostream& operator<<(std::ostream& out, const FrameworkTexts& t) {
    return out << testing::PrintToString(t.signature) << " " << testing::PrintToString(t.url) << " "
               << testing::PrintToString(t.plant);
}
const FrameworkTexts kBefore{L"SIG-1", L"http://ef.example/zud", L"EFP1"};

struct DataCase {
    std::wstring name;
    std::wstring document;
    HRESULT result;
    FrameworkTexts texts;
};

std::wstring Data(const std::wstring& attributes, const std::wstring& content = L"") {
    return L"<EFData " + attributes + L">" + content + L"</EFData>";
}

std::vector<DataCase> DataCases() {
    const std::wstring open = L"<EFData EFSIGNATURE=\"S2\" EFURL=\"u2\" EFPLANT=\"p2\"";
    const FrameworkTexts second{L"S2", L"u2", L"p2"};
    return {
        {L"empty", L"", S_OK, kBefore},
        {L"white space only", L" \r\n", S_FALSE, kBefore},
        {L"text only", L"data", S_FALSE, kBefore},
        {L"no end", open, S_FALSE, kBefore},
        {L"no end tag", open + L">", S_FALSE, kBefore},
        {L"two document elements", open + L"/>" + open + L"/>", S_FALSE, kBefore},
        {L"unquoted value", L"<EFData EFSIGNATURE=S2/>", S_FALSE, kBefore},
        {L"attribute twice", L"<EFData EFSIGNATURE=\"S2\" EFSIGNATURE=\"S3\"/>", S_FALSE, kBefore},
        {L"bare ampersand", L"<EFData EFSIGNATURE=\"S & 2\"/>", S_FALSE, kBefore},
        {L"control character", L"<EFData EFSIGNATURE=\"S\x0001\"/>", S_FALSE, kBefore},
        {L"reference to NUL", L"<EFData EFSIGNATURE=\"S&#0;\"/>", S_FALSE, kBefore},
        {L"NUL inside the text", open + L"/>" + std::wstring(1, L'\0') + L"<x/>", S_FALSE, kBefore},
        {L"well-formed", open + L"/>", S_OK, second},
        {L"only some fields", L"<EFData EFURL=\"u2\"/>", S_OK, {L"SIG-1", L"u2", L"EFP1"}},
        {L"another document element", L"<Other EFSIGNATURE=\"S2\" EFURL=\"u2\" EFPLANT=\"p2\"/>", S_OK, second},
        {L"children, text and comments", Data(L"EFSIGNATURE=\"S2\" EFURL=\"u2\" EFPLANT=\"p2\"",
                                              L"<EFSIGNATURE>no</EFSIGNATURE>text<!-- c --><![CDATA[x]]>"),
         S_OK, second},
        {L"names in another case", L"<EFData efsignature=\"s\" EfUrl=\"u\"/>", S_OK, kBefore},
        {L"namespaced names", L"<EFData xmlns:q=\"urn:q\" q:EFSIGNATURE=\"S2\" EFURL=\"u2\"/>", S_OK,
         {L"SIG-1", L"u2", L"EFP1"}},
        {L"references", L"<EFData EFSIGNATURE=\"&lt;&amp;&#x4E2D;&#x1F600;\" EFURL=\"\" EFPLANT=\" \"/>", S_OK,
         {L"<&\x4E2D\xD83D\xDE00", L"", L" "}},
        {L"byte order mark and declaration", L"\xFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + open + L"/>", S_OK,
         second},
    };
}

class HostileFrameworkData : public testing::Test {
protected:
    testcom::Fake<FakeWorkspace> workspace;
    RequestScript script;
    winkit::ComPtr<IQRCIGEFClientServices> services;

    void SetUp() override {
        workspace->UseScript(script);
        ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
    }

    HRESULT Initialize(const std::wstring& document) {
        script.outputs[L"GetEFData"] = document;
        ClearThreadError();
        return services->Initialize(static_cast<IDispatch*>(workspace.get()));
    }

    FrameworkTexts Texts() {
        UniqueBstr signature, url, plant;
        EXPECT_EQ(S_OK, services->GetEFData(signature.put(), url.put(), plant.put()));
        return {signature.str(), url.str(), plant.str()};
    }

    // Initializes with the full framework data, then with `document`, each on a fresh object.
    void Check(const std::wstring& name, const std::wstring& document, HRESULT result, const FrameworkTexts& texts,
               double seconds = 10) {
        SCOPED_TRACE(testing::PrintToString(name));
        services.reset();
        ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
        ASSERT_EQ(S_OK, Initialize(kFullFrameworkData));
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(result, Initialize(document));
        double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(took, seconds);
        EXPECT_EQ(texts, Texts());
        ++documents;
    }

    int documents = 0;
};

} // namespace

TEST_F(HostileFrameworkData, UnreadableDataKeepsWhatWasReadAndGivesSFalse) {
    for (const DataCase& c : DataCases()) Check(c.name, c.document, c.result, c.texts);
    std::cout << "[ documents ] GetEFData: " << documents << std::endl;
}

TEST_F(HostileFrameworkData, DeclarationsAreRefusedAndTheNamedFileIsNeverRead) {
    CanaryFile canary;
    ASSERT_TRUE(canary.ReadsAreNoticed()) << "this file system does not show reads; the check would mean nothing";
    DocumentBody body = [](const std::wstring& value, const std::wstring& content) {
        return L"<EFData EFSIGNATURE=\"" + value + L"\" EFURL=\"u2\">" + content + L"</EFData>";
    };
    for (const NamedDocument& document : DeclarationDocuments(L"EFData", body, canary.Url()))
        Check(document.name, document.text, S_FALSE, kBefore, 5);
    for (const NamedDocument& document : ReferenceDocuments(body, canary.Url())) {
        SCOPED_TRACE(testing::PrintToString(document.name));
        script.outputs[L"GetEFData"] = document.text;
        HRESULT hr = services->Initialize(static_cast<IDispatch*>(workspace.get()));
        EXPECT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;
        EXPECT_EQ(std::wstring::npos, Texts().signature.find(canary.Marker()));
        ++documents;
    }
    EXPECT_FALSE(canary.WasRead());
    std::cout << "[ documents ] GetEFData: " << documents << " with declarations or references" << std::endl;
}

TEST_F(HostileFrameworkData, HugeAndDeepData) {
    std::wstring big(4 * 1024 * 1024, L's');
    Check(L"a 4 MB signature", L"<EFData EFSIGNATURE=\"" + big + L"\"/>", S_OK, {big, kBefore.url, kBefore.plant}, 30);
    std::wstring many;
    for (int i = 0; i < 10000; ++i) many += L" a" + std::to_wstring(i) + L"=\"v\"";
    Check(L"ten thousand attributes", L"<EFData" + many + L" EFURL=\"u2\"/>", S_OK, {L"SIG-1", L"u2", L"EFP1"}, 30);
    Check(L"100,000 children", Data(L"EFURL=\"u2\"", Repeated(L"<c/>", 100000)), S_OK, {L"SIG-1", L"u2", L"EFP1"}, 30);
    // A parser may refuse nesting this deep; whatever it does, nothing else changes.
    SCOPED_TRACE("nested 100,000 deep");
    services.reset();
    ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
    ASSERT_EQ(S_OK, Initialize(kFullFrameworkData));
    HRESULT hr = Initialize(Data(L"EFURL=\"u2\"", Nested(L"c", L"", 100000)));
    EXPECT_TRUE(hr == S_OK || hr == S_FALSE) << std::hex << hr;
    FrameworkTexts texts = Texts();
    const FrameworkTexts read{L"SIG-1", L"u2", L"EFP1"};
    EXPECT_TRUE(texts == kBefore || texts == read) << texts;
    ++documents;
    std::cout << "[ documents ] GetEFData: " << documents << " huge or deep" << std::endl;
}

namespace {

enum class ClaimOutcome { Granted, Refused, Invalid };

struct ClaimsCase {
    std::wstring name;
    std::wstring document;
    ClaimOutcome outcome;
};

std::wstring Claims(const std::wstring& inside) { return L"<Claims>" + inside + L"</Claims>"; }

std::vector<ClaimsCase> ClaimsCases() {
    const std::wstring free = L"<Claim OID=\"1001\" Name=\"P-101\" Locked=\"0\"/>";
    const std::wstring held = L"<Claim OID=\"1002\" Name=\"V-205\" Locked=\"1\" LockedBy=\"kmueller\"/>";
    return {
        {L"a free object", Claims(free), ClaimOutcome::Granted},
        {L"an object held by another user", Claims(free + held), ClaimOutcome::Refused},
        {L"no claims", L"<Claims/>", ClaimOutcome::Granted},
        {L"white space only", L" \r\n", ClaimOutcome::Invalid},
        {L"text only", L"claims", ClaimOutcome::Invalid},
        {L"no end tag", L"<Claims>" + free, ClaimOutcome::Invalid},
        {L"cut inside an attribute", L"<Claims><Claim OID=\"10", ClaimOutcome::Invalid},
        {L"another document element", L"<Claim OID=\"1001\"/>", ClaimOutcome::Invalid},
        {L"a claim without OID", Claims(L"<Claim Name=\"x\"/>"), ClaimOutcome::Invalid},
        {L"Locked neither 0 nor 1", Claims(L"<Claim OID=\"1\" Locked=\"maybe\"/>"), ClaimOutcome::Invalid},
        {L"bare ampersand", Claims(L"<Claim OID=\"1 & 2\"/>"), ClaimOutcome::Invalid},
        {L"control character", Claims(L"<Claim OID=\"1\x0003\"/>"), ClaimOutcome::Invalid},
        {L"NUL inside the text", Claims(free) + std::wstring(1, L'\0') + held, ClaimOutcome::Invalid},
        {L"other elements and comments", Claims(L"<!-- c --><Other/>text" + free + L"<?pi x?>"), ClaimOutcome::Granted},
        {L"the same object twice", Claims(free + free), ClaimOutcome::Granted},
        {L"ten thousand claims", Claims(Repeated(free, 10000)), ClaimOutcome::Granted},
        {L"nested 100,000 deep", Claims(Nested(L"x", L"", 100000)), ClaimOutcome::Invalid},
    };
}

class HostileClaims : public testing::Test {
protected:
    testcom::Fake<FakeWorkspace> workspace;
    RequestScript script;
    TaskItemCollection tasks;
    int documents = 0;

    void SetUp() override { workspace->UseScript(script); }

    // ClaimObject with `document` as the framework's answer.
    void ClaimObject(const std::wstring& document, ClaimOutcome outcome) {
        winkit::ComPtr<IQRCIGEFClientServices> services;
        ASSERT_EQ(S_OK, CClientServices::Create(nullptr, IID_IQRCIGEFClientServices, services.put_void()));
        ASSERT_EQ(S_OK, services->Initialize(static_cast<IDispatch*>(workspace.get())));
        script.outputs[L"SynchronizeObjectClaim"] = document;
        ClearThreadError();
        HRESULT hr = services->ClaimObject(UniqueBstr::Copy(L"1001").get());
        ThreadError error = TakeThreadError();
        if (outcome == ClaimOutcome::Invalid) {
            EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
            ASSERT_TRUE(error.present);
            EXPECT_EQ(0u, error.description.find(L"<QRError")) << testing::PrintToString(error.description);
        } else {
            EXPECT_EQ(S_OK, hr) << testing::PrintToString(error.description);
        }
    }

    // A run of task 1 with `document` as the framework's answer to ActionTask.
    void Run(const std::wstring& document, ClaimOutcome outcome) {
        script.outputs[L"ActionTask"] = document;
        script.log->calls.clear();
        HRESULT thrown = S_OK;
        int result = -1;
        try {
            result = TaskOperations(workspace.get(), tasks).RunTaskItem(1);
        } catch (QRComException& e) {
            thrown = e.result;
        }
        bool markedError = std::find(script.log->calls.begin(), script.log->calls.end(),
                                     L"SetMethod SetTaskItemData") != script.log->calls.end();
        switch (outcome) {
        case ClaimOutcome::Granted:
            EXPECT_EQ(S_OK, thrown);
            EXPECT_EQ(0, result);
            EXPECT_FALSE(markedError);
            break;
        case ClaimOutcome::Refused:
            EXPECT_EQ(S_OK, thrown);
            EXPECT_EQ(1, result);
            EXPECT_TRUE(markedError);
            break;
        case ClaimOutcome::Invalid:
            EXPECT_TRUE(FAILED(thrown)) << std::hex << thrown;
            EXPECT_FALSE(markedError);
            break;
        }
    }
};

} // namespace

TEST_F(HostileClaims, ClaimsDocumentsAreGrantedRefusedOrFailWithAnError) {
    for (const ClaimsCase& c : ClaimsCases()) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        auto start = std::chrono::steady_clock::now();
        ClaimObject(c.document, c.outcome);
        Run(c.document, c.outcome);
        double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(took, 30);
        ++documents;
    }
    std::cout << "[ documents ] claims: " << documents << ", each through ClaimObject and a run" << std::endl;
}

TEST_F(HostileClaims, DeclarationsAreRefusedAndTheNamedFileIsNeverRead) {
    CanaryFile canary;
    ASSERT_TRUE(canary.ReadsAreNoticed()) << "this file system does not show reads; the check would mean nothing";
    DocumentBody body = [](const std::wstring& value, const std::wstring& content) {
        return L"<Claims><Claim OID=\"1001\" Name=\"" + value + L"\" Locked=\"0\">" + content + L"</Claim></Claims>";
    };
    for (const NamedDocument& document : DeclarationDocuments(L"Claims", body, canary.Url())) {
        SCOPED_TRACE(testing::PrintToString(document.name));
        ClaimObject(document.text, ClaimOutcome::Invalid);
        Run(document.text, ClaimOutcome::Invalid);
        ++documents;
    }
    EXPECT_FALSE(canary.WasRead());
    std::cout << "[ documents ] claims: " << documents << " with declarations" << std::endl;
}
