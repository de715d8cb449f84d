// The client services object's connection to the older adapter, its failure documents,
// and what it answers to QueryInterface.
#include "clientservices_fixture.h"
#include "diagnostics/hresulttext.h"

using testing::_;
using testing::Return;
using namespace testcom;

namespace {

constexpr const wchar_t* kConnectionSource = L"QRCIGEFClientServices::ConnectAdapter";

std::wstring Element(const std::wstring& desc, const std::wstring& hr) {
    return L"<QRError Desc=\"" + desc + L"\" HR=\"" + hr + L"\" />";
}

TEST_F(ClientServicesTest, ConnectsOnFirstUseThroughTheToolsAndKeepsTheAdapter) {
    EXPECT_CALL(*globals, GetVersionSpecificIdentifier(Text(L"QREFOldAdapter380.ClientServices"), _));
    long status = -1;
    ASSERT_EQ(S_OK, services->get_ConnectionStatus(&status));
    EXPECT_EQ(0, status);
    EXPECT_EQ(1, globalsFactory->created);
    EXPECT_EQ(1, adapterFactory->created);
    EXPECT_EQ(2u, globals->RefCount()) << "the tools component is let go once the adapter is made";
    EXPECT_EQ(3u, adapter->RefCount()) << "the object keeps one adapter reference";

    ASSERT_EQ(S_OK, services->get_ConnectionStatus(&status));
    EXPECT_EQ(1, globalsFactory->created);
    EXPECT_EQ(1, adapterFactory->created);
    EXPECT_FALSE(TakeThreadError().present);
}

struct ConnectionFailure {
    const char* name;
    HRESULT toolsCreation;      // of the Globals class object
    HRESULT identifierLookup;   // of GetVersionSpecificIdentifier
    const wchar_t* progId;      // what the tools answer
    HRESULT adapterCreation;    // of the adapter's class object
    HRESULT expected;
    std::wstring description;
};

class ClientServicesConnectionFailure : public ClientServicesTest,
                                        public testing::WithParamInterface<ConnectionFailure> {};

TEST_P(ClientServicesConnectionFailure, FailsWithItsCodeAndMessageAndTriesAgainLater) {
    const ConnectionFailure& row = GetParam();
    globalsFactory->failure = row.toolsCreation;
    adapterFactory->failure = row.adapterCreation;
    ON_CALL(*globals, GetVersionSpecificIdentifier(_, _)).WillByDefault(WriteText(row.progId, row.identifierLookup));

    long status = -1;
    EXPECT_EQ(row.expected, services->get_ConnectionStatus(&status));
    EXPECT_EQ(0, status);
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kConnectionSource, error.source);
    EXPECT_EQ(row.description, error.description);

    // Nothing of the failed attempt is kept: once the partners are there, it connects.
    globalsFactory->failure = S_OK;
    adapterFactory->failure = S_OK;
    ON_CALL(*globals, GetVersionSpecificIdentifier(_, _)).WillByDefault(WriteText(kFakeAdapterProgId));
    EXPECT_EQ(S_OK, services->get_ConnectionStatus(&status));
    EXPECT_EQ(1, adapterFactory->created);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ClientServicesConnectionFailure,
    testing::Values(
        ConnectionFailure{"ToolsNotCreated", REGDB_E_CLASSNOTREG, S_OK, kFakeAdapterProgId, S_OK, REGDB_E_CLASSNOTREG,
                          Element(L"Unable to connect to QRClientTools::Globals", L"0x80040154")},
        ConnectionFailure{"NoVersionSpecificIdentifier", S_OK, E_FAIL, L"", S_OK, E_FAIL,
                          Element(L"Unable to find version specific identifier for QREFOldAdapter380.ClientServices",
                                  L"E_FAIL")},
        ConnectionFailure{"IdentifierNotRegistered", S_OK, S_OK, L"QRTest.NoSuchAdapter.1", S_OK, CO_E_CLASSSTRING,
                          Element(L"QREFOldAdapter380.ClientServices is not registered", L"0x800401f3")},
        ConnectionFailure{"AdapterNotCreated", S_OK, S_OK, kFakeAdapterProgId, E_OUTOFMEMORY, E_OUTOFMEMORY,
                          Element(HResultMessage(E_OUTOFMEMORY), L"E_OUTOFMEMORY")}),
    [](const testing::TestParamInfo<ConnectionFailure>& info) { return std::string(info.param.name); });

TEST_F(ClientServicesTest, ToolsErrorInformationIsCarriedBelowTheConnectionMessage) {
    ON_CALL(*globals, GetVersionSpecificIdentifier(_, _)).WillByDefault([](BSTR, BSTR*) {
        PlantThreadError(L"QRClientTools.Globals", L"no identifier for this product");
        return E_FAIL;
    });
    long status = 0;
    EXPECT_EQ(E_FAIL, services->get_ConnectionStatus(&status));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kConnectionSource, error.source);
    EXPECT_EQ(Element(L"Unable to find version specific identifier for QREFOldAdapter380.ClientServices", L"E_FAIL") +
                  L"\r\n<QRError Desc=\"no identifier for this product\" Src=\"QRClientTools.Globals\" HR=\"E_FAIL\" />",
              error.description);
}

TEST_F(ClientServicesTest, StaleThreadErrorIsNotCarriedIntoTheConnectionDocument) {
    globalsFactory->failure = REGDB_E_CLASSNOTREG;
    PlantThreadError(L"Somebody", L"an earlier, unrelated failure");
    long status = 0;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, services->get_ConnectionStatus(&status));
    EXPECT_EQ(Element(L"Unable to connect to QRClientTools::Globals", L"0x80040154"), TakeThreadError().description);
}

// Every method but UnInitialize starts by connecting; with the adapter's ProgID
// unknown, each one fails with CLSIDFromProgID's code and the same document.
TEST_F(ClientServicesTest, AdapterNotRegisteredFailsEveryMethodButUnInitialize) {
    ON_CALL(*globals, GetVersionSpecificIdentifier(_, _)).WillByDefault(WriteText(L"QRTest.NoSuchAdapter.1"));
    IQRCIGEFClientServices* cs = services.get();
    IDispatch* ws = WorkspaceDispatch();
    BSTR t1 = nullptr, t2 = nullptr, t3 = nullptr;
    long status = -1;
    SAFEARRAY* projects = nullptr;
    VARIANT_BOOL supported = VARIANT_TRUE;
    VARIANT oneStream;
    V_VT(&oneStream) = VT_I4;
    V_I4(&oneStream) = 5;

    const std::pair<const char*, std::function<HRESULT()>> calls[] = {
        {"ConnectToEF", [&] { return cs->ConnectToEF(); }},
        {"Publish", [&] { return cs->Publish(B(L"OID-1").get()); }},
        {"ConnectionStatus", [&] { return cs->get_ConnectionStatus(&status); }},
        {"GetEFData", [&] { return cs->GetEFData(&t1, &t2, &t3); }},
        {"SetEFData", [&] { return cs->SetEFData(B(L"s").get(), B(L"u").get(), B(L"p").get()); }},
        {"GetPlantData", [&] { return cs->GetPlantData(&t1, &t2, &t3); }},
        {"SetPlantData", [&] { return cs->SetPlantData(B(L"p").get(), B(L"a").get(), B(L"u").get()); }},
        {"XMLFileName get", [&] { return cs->get_XMLFileName(&t1); }},
        {"XMLFileName put", [&] { return cs->put_XMLFileName(B(L"c:\\x.xml").get()); }},
        {"Retrieve", [&] { return cs->Retrieve(); }},
        {"FindDocsToPublish", [&] { return cs->FindDocsToPublish(); }},
        {"LaunchFrameworkBrowser", [&] { return cs->LaunchFrameworkBrowser(); }},
        {"Initialize", [&] { return cs->Initialize(ws); }},
        {"Register", [&] { return cs->Register(ws); }},
        {"GetProjectList", [&] { return cs->GetProjectList(&projects); }},
        {"ClaimStream", [&] { return cs->ClaimStream(ws, oneStream); }},
        {"SynchronizeClaims", [&] { return cs->SynchronizeClaims(B(L"<Claims/>").get(), &t1); }},
        {"PublishProjectAsBuilt", [&] { return cs->PublishProjectAsBuilt(B(L"Project").get()); }},
        {"ClaimObject", [&] { return cs->ClaimObject(B(L"17").get()); }},
        {"Revise", [&] { return cs->Revise(B(L"OID-1").get()); }},
        {"SupportsFeature", [&] { return cs->SupportsFeature(B(L"Claim").get(), &supported); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CO_E_CLASSSTRING, call());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(kConnectionSource, error.source);
        EXPECT_EQ(Element(L"QREFOldAdapter380.ClientServices is not registered", L"0x800401f3"), error.description);
        EXPECT_EQ(nullptr, t1);
        EXPECT_EQ(nullptr, t2);
        EXPECT_EQ(nullptr, t3);
    }
    EXPECT_EQ(0, status);
    EXPECT_EQ(nullptr, projects);
    EXPECT_EQ(VARIANT_FALSE, supported);
    EXPECT_EQ(0, adapterFactory->created);
    EXPECT_EQ(0, selectionFactory->created);

    int attempts = globalsFactory->created;
    EXPECT_EQ(S_OK, cs->UnInitialize());
    EXPECT_EQ(attempts, globalsFactory->created) << "UnInitialize does not connect";
    EXPECT_FALSE(TakeThreadError().present);
}

TEST_F(ClientServicesTest, UnInitializeTellsAConnectedAdapterAndIgnoresItsResult) {
    EXPECT_EQ(S_OK, services->UnInitialize());
    EXPECT_EQ(0, globalsFactory->created) << "UnInitialize does not connect";

    long status = 0;
    ASSERT_EQ(S_OK, services->get_ConnectionStatus(&status));
    EXPECT_CALL(*adapter, UnInitialize()).WillOnce(Return(E_FAIL));
    EXPECT_EQ(S_OK, services->UnInitialize());
    // Only the adapter hears it: the object stays connected.
    EXPECT_CALL(*adapter, ConnectToEF()).WillOnce(Return(S_OK));
    EXPECT_EQ(S_OK, services->ConnectToEF());
    EXPECT_EQ(1, adapterFactory->created);
}

TEST_F(ClientServicesTest, AnswersItsFourInterfacesAndErrorInfoForItsOwn) {
    winkit::ComPtr<IUnknown> unknown;
    winkit::ComPtr<IDispatch> dispatch;
    winkit::ComPtr<ISupportErrorInfo> errorInfo;
    winkit::ComPtr<IProvideClassInfo> classInfo;
    EXPECT_EQ(S_OK, services.As(&unknown));
    EXPECT_EQ(S_OK, services.As(&dispatch));
    ASSERT_EQ(S_OK, services.As(&errorInfo));
    EXPECT_EQ(E_NOINTERFACE, services.As(&classInfo));
    EXPECT_EQ(S_OK, errorInfo->InterfaceSupportsErrorInfo(IID_IQRCIGEFClientServices));
    EXPECT_EQ(S_FALSE, errorInfo->InterfaceSupportsErrorInfo(IID_IDispatch));
    EXPECT_EQ(S_FALSE, errorInfo->InterfaceSupportsErrorInfo(IID_IQRCTaskList));
}

TEST_F(ClientServicesTest, AggregatedObjectDelegatesToItsOuterObject) {
    Fake<FakeDispatch> outer;
    winkit::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, winkit::ComModule::Get().GetClassObject(CLSID_QRCIGEFClientServices, IID_IClassFactory,
                                                             factory.put_void()));
    winkit::ComPtr<IQRCIGEFClientServices> refused;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.get(), IID_IQRCIGEFClientServices,
                                                             refused.put_void()));
    winkit::ComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()));
    ULONG outerRefs = outer->RefCount();
    {
        winkit::ComPtr<IQRCIGEFClientServices> face;
        ASSERT_EQ(S_OK, inner->QueryInterface(IID_IQRCIGEFClientServices, face.put_void()));
        EXPECT_EQ(outerRefs + 1, outer->RefCount()) << "references of the inner object's interfaces go to the outer";
        long status = -1;
        EXPECT_EQ(S_OK, face->get_ConnectionStatus(&status));
    }
    EXPECT_EQ(outerRefs, outer->RefCount());
    inner.reset();
    EXPECT_EQ(1u, winkit::ModuleLock::Count()) << "only the fixture's own object is left";
}

} // namespace
