// The client services object; late-bound calls with a script's variables by reference
// are in tests/scripts/clientservices.vbs.
#include "clientservices_fixture.h"
#include "diagnostics/hresulttext.h"
#include "winkit/unique_variant.h"

EXTERN_C const CLSID CLSID_DOMDocument60;

using namespace testcom;
using namespace std::string_literals;

namespace {

constexpr const wchar_t* kConnect = L"QRCIGEFClientServices::ConnectAdapter";
constexpr const wchar_t* kInitialize = L"QRCIGEFrameworkClientServices::Initialize";
const std::wstring kFullData =
    L"<EFData EFURL=\"http://ef.example/zud\" EFPLANT=\"EFP1\" EFSIGNATURE=\"SIG-1\" TEFVERSION=\"3.65\""
    L" EFUID=\"uid7\" EFNAME=\"Framework One\" RESTORE=\"restore-1\" PLANTNAME=\"North\" AREANAME=\"A20\""
    L" UNITNAME=\"U3\"/>";
const std::wstring kFullFramework = L"'SIG-1', 'http://ef.example/zud', 'EFP1', 'uid7', 'Framework One'";

std::wstring Error(const std::wstring& description, const std::wstring& hr) {
    return L"<QRError Desc=\"" + description + L"\" HR=\"" + hr + L"\" />";
}

// What Initialize has the framework and the adapter hear.
Calls Initialized(const std::wstring& restore, const std::wstring& plant, const std::wstring& framework) {
    return {L"framework GetEFData()", L"adapter SetRestore(" + restore + L")", L"adapter SetPlantData(" + plant + L")",
            L"adapter SetFrameworkData(" + framework + L")", L"adapter SetProductName('Morvandel')",
            L"adapter Initialize(workspace)"};
}

Answers FrameworkData(const std::wstring& document) { return {{L"framework GetEFData", {S_OK, document}}}; }

// Each failure refuses a different method: what its out-parameters hold afterwards.
TEST_F(ClientServicesTest, ConnectionFailuresAreReportedAndTriedAgain) {
    const std::wstring notFound =
        Error(L"Unable to find version specific identifier for QREFOldAdapter380.ClientServices", L"E_FAIL");
    const std::wstring noTools = Error(L"Unable to connect to QRClientTools::Globals", L"0x80040154");
    const Call status = CALL(get_ConnectionStatus(&o.status));
    const std::vector<Step> failures = {
        {"tools not created; an earlier error is not carried", AfterEarlierError(status),
         {{L"tools create", {REGDB_E_CLASSNOTREG}}}, REGDB_E_CLASSNOTREG, L"0", {}, kConnect, noTools},
        {"no identifier", CALL(GetEFData(&o.a, &o.b, &o.c)), {{L"tools", {E_FAIL}}}, E_FAIL, L"", {kToolsAsked},
         kConnect, notFound},
        {"the tools' error is carried", CALL(get_XMLFileName(&o.a)),
         {{L"tools", {E_FAIL, {}, L"no identifier for this product"}}}, E_FAIL, L"null", {kToolsAsked}, kConnect,
         notFound + L"\r\n<QRError Desc=\"no identifier for this product\" Src=\"QRClientTools.Globals\" HR=\"E_FAIL\" />"},
        {"identifier not registered", CALL(GetProjectList(&o.array)), {{L"tools", {S_OK, L"QRTest.NoSuchAdapter.1"}}},
         CO_E_CLASSSTRING, L"null", {kToolsAsked}, kConnect,
         Error(L"QREFOldAdapter380.ClientServices is not registered", L"0x800401f3")},
        {"adapter not created", CALL(SupportsFeature(B(L"Claim").get(), &o.flag)), {{L"adapter create", {E_OUTOFMEMORY}}},
         E_OUTOFMEMORY, L"false", {kToolsAsked}, kConnect, Error(HResultMessage(E_OUTOFMEMORY), L"E_OUTOFMEMORY")},
        {"the same for SynchronizeClaims", CALL(SynchronizeClaims(B(L"<Claims/>").get(), &o.a)),
         {{L"adapter create", {E_OUTOFMEMORY}}}, E_OUTOFMEMORY, L"null", {kToolsAsked}, kConnect,
         Error(HResultMessage(E_OUTOFMEMORY), L"E_OUTOFMEMORY")},
    };
    for (const Step& failure : failures) {
        auto fresh = NewServices();
        // Nothing of a failed attempt is kept: with the partners there, it connects, once.
        Run({failure, {"connects", status, {}, S_OK, L"0", {kToolsAsked}}, {"stays connected", status, {}, S_OK, L"0"}},
            fresh.get());
        EXPECT_EQ(2u, tools->RefCount()) << "the tools are let go once the adapter is made";
        EXPECT_EQ(3u, adapter->RefCount()) << "the object keeps one adapter reference";
    }
}

// The type library gives GetEFData's and GetPlantData's pointers no direction.
TEST_F(ClientServicesTest, NullPointersAreRefusedBeforeAnythingIsWrittenOrCalled) {
    const std::pair<Call, const wchar_t*> calls[] = {
        {CALL(GetEFData(&o.a, nullptr, &o.c)), L"GetEFData"}, {CALL(GetEFData(&o.a, &o.b, nullptr)), L"GetEFData"},
        {CALL(GetPlantData(nullptr, &o.b, &o.c)), L"GetPlantData"},
        {CALL(get_ConnectionStatus(nullptr)), L"ConnectionStatus"}, {CALL(get_XMLFileName(nullptr)), L"XMLFileName"},
        {CALL(GetProjectList(nullptr)), L"GetProjectList"},
        {CALL(SynchronizeClaims(B(L"<Claims/>").get(), nullptr)), L"SynchronizeClaims"},
        {CALL(SupportsFeature(B(L"Claim").get(), nullptr)), L"SupportsFeature"},
    };
    for (const auto& [call, method] : calls)
        Run({{"refused", call, {}, E_POINTER, L"", {}, L"",
              Error(L"Invalid pointer passed to method " + std::wstring(method), L"E_POINTER")}});
}

TEST_F(ClientServicesTest, InitializeReadsTheFrameworkDataAndTellsTheAdapter) {
    Fake<FakeDispatch> notAWorkspace;
    const std::wstring notInitialized = Error(L"ClientServices interface not initialized", L"E_FAIL");
    const std::wstring notAWorkspaceError = Error(L"The object given to Initialize is not a workspace", L"E_INVALIDARG");
    const std::wstring outOfMemory = Error(HResultMessage(E_OUTOFMEMORY), L"E_OUTOFMEMORY");
    const Calls refusedDocument = Initialized(L"null", L"null, null, null", kFullFramework);
    const Call init = CALL(Initialize(Ws())), plantData = CALL(GetPlantData(&o.a, &o.b, &o.c));
    Run({
        {"connects; empty framework data", init, {}, S_OK, L"",
         Then({kToolsAsked}, Initialized(L"null", L"null, null, null", L"null, null, null, null, null"))},
        {"every field; the adapter's results are not looked at", init,
         {{L"framework GetEFData", {S_OK, kFullData}}, {L"adapter", {E_FAIL}}}, S_OK, L"",
         Initialized(L"'restore-1'", L"'North', 'A20', 'U3'", kFullFramework)},
        {"framework data", CALL(GetEFData(&o.a, &o.b, &o.c)), {}, S_OK, L"'SIG-1' 'http://ef.example/zud' 'EFP1'"},
        {"plant data", plantData, {}, S_OK, L"'North' 'A20' 'U3'"},
        // Not XML, or refused before parsing (Wine's DOM would expand a DTD's entities):
        // S_FALSE, and the adapter hears the previous framework values.
        {"not XML", init, FrameworkData(L"not xml at all"), S_FALSE, L"", refusedDocument},
        {"internal DTD", init,
         FrameworkData(L"<!DOCTYPE EFData [<!ENTITY sig \"DTD\">]><EFData EFSIGNATURE=\"&sig;\" EFURL=\"http://dtd\"/>"),
         S_FALSE, L"", refusedDocument},
        {"a NUL, which the DOM would stop at", init, FrameworkData(L"<EFData EFURL=\"http://nul\"/>\0<EFData/>"s), S_FALSE,
         L"", refusedDocument},
        {"fields the document lacks are kept, plant data is emptied", init,
         FrameworkData(L"<EFData EFURL=\"http://ef2.example\" AREANAME=\"B7\"/>"), S_OK, L"",
         Initialized(L"null", L"null, 'B7', null", L"'SIG-1', 'http://ef2.example', 'EFP1', 'uid7', 'Framework One'")},
        {"plant data emptied", plantData, {}, S_OK, L"'' 'B7' ''"},
        {"the framework's failure", init,
         {{L"framework GetEFData", {static_cast<HRESULT>(0x80041010), {}, L"The workspace is offline"}}},
         static_cast<HRESULT>(0x80041010), L"", {L"framework GetEFData()"}, kInitialize,
         Error(L"The workspace is offline", L"0x80041010") +
             L"\r\n<QRError Desc=\"The workspace is offline\" Src=\"QRSim.Framework\" HR=\"0x80041010\" />"},
        {"no request", init, {{L"framework create", {E_OUTOFMEMORY}}}, E_OUTOFMEMORY, L"", {}, kInitialize, outOfMemory},
        {"no DOM document",
         [&](IQRCIGEFClientServices& cs, Outs&) {
             Fake<FakeClassFactory> failing(static_cast<IUnknown*>(nullptr));
             failing->failure = E_OUTOFMEMORY;
             ClassRegistration dom(CLSID_DOMDocument60, failing.get());
             return cs.Initialize(Ws());
         },
         FrameworkData(kFullData), E_OUTOFMEMORY, L"", {L"framework GetEFData()"}, kInitialize, outOfMemory},
        {"not a workspace", CALL(Initialize(notAWorkspace.get())), {}, E_INVALIDARG, L"", {}, kInitialize,
         notAWorkspaceError},
        {"a refused workspace leaves none", CALL(ClaimObject(B(L"17").get())), {}, E_FAIL, L"", {}, kClaimObject,
         notInitialized},
        {"null", CALL(Initialize(nullptr)), {}, E_INVALIDARG, L"", {}, kInitialize, notAWorkspaceError},
    });
    EXPECT_EQ(1u, notAWorkspace->RefCount());
}

// Whole texts: what follows a NUL inside a text is kept and handed over too.
TEST_F(ClientServicesTest, KeepsTheDataItIsGivenAndTheFileNameTheAdapterGives) {
    const Answers failing = {{L"adapter", {E_FAIL}}}, notImplemented = {{L"adapter", {E_NOTIMPL}}};
    const Call efData = CALL(GetEFData(&o.a, &o.b, &o.c)), fileName = CALL(get_XMLFileName(&o.a));
    const Calls fileNameAsked = {L"adapter get_XMLFileName()"};
    Run({
        {"SetEFData keeps copies and tells nobody", CALL(SetEFData(W(L"S\0A").get(), W(L"u\0b").get(), W(L"p\0c").get())),
         {}, S_OK, L"", {kToolsAsked}},
        {"kept", efData, {}, S_OK, W(L"'S\0A' 'u\0b' 'p\0c'").str()},
        {"SetPlantData keeps copies and tells the adapter",
         CALL(SetPlantData(W(L"P\0d").get(), W(L"A\0e").get(), W(L"U\0f").get())), failing, S_OK, L"",
         {W(L"adapter SetPlantData('P\0d', 'A\0e', 'U\0f')").str()}},
        {"kept", CALL(GetPlantData(&o.a, &o.b, &o.c)), {}, S_OK, W(L"'P\0d' 'A\0e' 'U\0f'").str()},
        {"put_XMLFileName tells the adapter", CALL(put_XMLFileName(W(L"c:\\a\0.xml").get())), failing, S_OK, L"",
         {W(L"adapter put_XMLFileName('c:\\a\0.xml')").str()}},
        {"the name kept is handed over once when the adapter gives none", fileName, notImplemented, S_OK,
         W(L"'c:\\a\0.xml'").str(), fileNameAsked},
        {"once", fileName, notImplemented, S_OK, L"null", fileNameAsked},
        {"a name", CALL(put_XMLFileName(B(L"c:\\mine.xml").get())), {}, S_OK, L"",
         {L"adapter put_XMLFileName('c:\\mine.xml')"}},
        {"the adapter's name wins, whatever it returns", fileName, {{L"adapter", {E_FAIL, L"d:\\adapter.xml"}}}, S_OK,
         L"'d:\\adapter.xml'", fileNameAsked},
    });
}

TEST_F(ClientServicesTest, ClaimsAndRevisionsFromFrameworkVersion365ByTheFeaturesFirstLetter) {
    const wchar_t* features[] = {L"Claim", L"Revise", L"C", L"Refresh", L"claim", L"revise", L"Publish", L"", nullptr};
    const std::pair<const wchar_t*, const wchar_t*> versions[] = {
        {nullptr, L"000000000"}, {L"3.65", L"111100000"}, {L"3.64999", L"000000000"}, {L"4", L"111100000"},
        {L"3.7 beta", L"111100000"}, {L"beta", L"000000000"},
    };
    for (const auto& [version, expected] : versions) {
        partners.answers[L"framework"] = {S_OK, version ? L"<EFData TEFVERSION=\"" + std::wstring(version) + L"\"/>"
                                                        : L"<EFData/>"};
        ASSERT_EQ(S_OK, services->Initialize(Ws()));
        std::wstring supported;
        for (const wchar_t* feature : features) {
            VARIANT_BOOL answer = 0x5555;
            EXPECT_EQ(S_OK, services->SupportsFeature(B(feature).get(), &answer));
            supported += answer == VARIANT_TRUE ? L'1' : answer == VARIANT_FALSE ? L'0' : L'?';
        }
        EXPECT_EQ(expected, supported) << testing::PrintToString(std::wstring(version ? version : L"(none)"));
    }
}

TEST_F(ClientServicesTest, ForwardersCallTheAdapterOnceAndIgnoreItsResult) {
    const HRESULT kLocked = static_cast<HRESULT>(0x80042001);
    const std::pair<Call, const wchar_t*> forwarded[] = {
        {CALL(ConnectToEF()), L"ConnectToEF()"}, {CALL(Publish(B(L"OID-9").get())), L"Publish('OID-9')"},
        {CALL(Retrieve()), L"Retrieve()"}, {CALL(FindDocsToPublish()), L"FindDocsToPublish()"},
        {CALL(LaunchFrameworkBrowser()), L"LaunchFrameworkBrowser()"}, {CALL(Register(Ws())), L"Register(workspace)"},
        {CALL(PublishProjectAsBuilt(B(L"Project P1").get())), L"PublishProjectAsBuilt('Project P1')"},
        {CALL(Revise(B(L"OID-9").get())), L"Revise('OID-9')"}, {CALL(UnInitialize()), L"UnInitialize()"},
    };
    std::vector<Step> steps = {{"UnInitialize does not connect", CALL(UnInitialize()), {}, S_OK},
                               {"connects", CALL(get_ConnectionStatus(&o.status)), {}, S_OK, L"0", {kToolsAsked}}};
    for (const auto& [call, heard] : forwarded)
        steps.push_back({"forwarded", call, {{L"adapter", {static_cast<HRESULT>(0x80042002)}}}, S_OK, L"",
                         {L"adapter "s + heard}});
    Run(steps);
    const Call projects = CALL(GetProjectList(&o.array)), sync = CALL(SynchronizeClaims(B(L"<Claims/>").get(), &o.a));
    const Calls synced = {L"adapter SynchronizeClaims('<Claims/>')"};
    Run({
        {"leaves the object connected", CALL(ConnectToEF()), {}, S_OK, L"", {L"adapter ConnectToEF()"}},
        {"GetProjectList hands over what the adapter wrote", projects, {{L"adapter", {E_FAIL, L"P1"}}}, S_OK, L"['P1']",
         {L"adapter GetProjectList()"}},
        {"and null when it wrote nothing", projects, {}, S_OK, L"null", {L"adapter GetProjectList()"}},
        // SynchronizeClaims alone passes on the adapter's result and error information.
        {"SynchronizeClaims", sync, {{L"adapter", {S_OK, L""}}}, S_OK, L"''", synced},
        {"its failure", sync, {{L"adapter", {kLocked, L"17: locked by bob", L"Object 17 is locked"}}}, kLocked,
         L"'17: locked by bob'", synced, L"QREFOldAdapter", L"Object 17 is locked"},
        {"its success code, and no earlier error", AfterEarlierError(sync), {{L"adapter", {S_FALSE}}}, S_FALSE, L"null",
         synced},
    });
}

} // namespace
