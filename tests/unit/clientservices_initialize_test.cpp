// Initialize: the framework data read through the workspace, what the adapter is told,
// and the documents that do not parse or must not be parsed.
#include "clientservices_fixture.h"
#include "diagnostics/hresulttext.h"

EXTERN_C const CLSID CLSID_DOMDocument60;

using testing::_;
using testing::InSequence;
using testing::Return;
using namespace testcom;

namespace {

constexpr const wchar_t* kInitializeSource = L"QRCIGEFrameworkClientServices::Initialize";

struct Texts {
    std::wstring a, b, c;
};

Texts FrameworkData(IQRCIGEFClientServices* services) {
    BSTR a = nullptr, b = nullptr, c = nullptr;
    EXPECT_EQ(S_OK, services->GetEFData(&a, &b, &c));
    Texts texts{a ? a : L"", b ? b : L"", c ? c : L""};
    SysFreeString(a);
    SysFreeString(b);
    SysFreeString(c);
    return texts;
}

Texts PlantData(IQRCIGEFClientServices* services) {
    BSTR a = nullptr, b = nullptr, c = nullptr;
    EXPECT_EQ(S_OK, services->GetPlantData(&a, &b, &c));
    Texts texts{a ? a : L"", b ? b : L"", c ? c : L""};
    SysFreeString(a);
    SysFreeString(b);
    SysFreeString(c);
    return texts;
}

bool Supports(IQRCIGEFClientServices* services, const wchar_t* feature) {
    VARIANT_BOOL supported = VARIANT_FALSE;
    EXPECT_EQ(S_OK, services->SupportsFeature(winkit::UniqueBstr::Copy(feature).get(), &supported));
    return supported == VARIANT_TRUE;
}

TEST_F(ClientServicesTest, InitializeConnectsReadsTheFrameworkDataAndTellsTheAdapterInOrder) {
    QueueTextCall(L"GetEFData", L"", kFullFrameworkData);
    {
        InSequence order;
        EXPECT_CALL(*globals, GetVersionSpecificIdentifier(_, _));
        EXPECT_CALL(*workspace, CreateServiceRequest(_));
        // The adapter's results are never looked at.
        EXPECT_CALL(*adapter, SetRestore(Text(L"restore-1"))).WillOnce(Return(E_FAIL));
        EXPECT_CALL(*adapter, SetPlantData(Text(L"North"), Text(L"A20"), Text(L"U3"))).WillOnce(Return(E_FAIL));
        EXPECT_CALL(*adapter, SetFrameworkData(Text(L"SIG-1"), Text(L"http://ef.example/zud"), Text(L"EFP1"),
                                               Text(L"uid7"), Text(L"Framework One")))
            .WillOnce(Return(E_FAIL));
        EXPECT_CALL(*adapter, SetProductName(Text(L"Morvandel"))).WillOnce(Return(E_FAIL));
        EXPECT_CALL(*adapter, Initialize(WorkspaceDispatch())).WillOnce(Return(E_FAIL));
    }
    EXPECT_EQ(S_OK, services->Initialize(WorkspaceDispatch()));
    EXPECT_FALSE(TakeThreadError().present);
    EXPECT_EQ(2u, workspace->RefCount()) << "the object keeps one workspace reference";

    Texts ef = FrameworkData(services.get());
    EXPECT_EQ(L"SIG-1", ef.a);
    EXPECT_EQ(L"http://ef.example/zud", ef.b);
    EXPECT_EQ(L"EFP1", ef.c);
    Texts plant = PlantData(services.get());
    EXPECT_EQ(L"North", plant.a);
    EXPECT_EQ(L"A20", plant.b);
    EXPECT_EQ(L"U3", plant.c);
    EXPECT_TRUE(Supports(services.get(), L"Claim"));
}

TEST_F(ClientServicesTest, InitializeWithSomethingThatIsNotAWorkspaceCallsNothingThroughIt) {
    Fake<FakeDispatch> notAWorkspace;
    const std::wstring expected = L"<QRError Desc=\"The object given to Initialize is not a workspace\" HR=\"E_INVALIDARG\" />";

    EXPECT_EQ(E_INVALIDARG, services->Initialize(notAWorkspace.get()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kInitializeSource, error.source);
    EXPECT_EQ(expected, error.description);
    EXPECT_EQ(1, adapterFactory->created) << "the adapter connection still comes first";
    EXPECT_EQ(1u, notAWorkspace->RefCount());

    EXPECT_EQ(E_INVALIDARG, services->Initialize(nullptr));
    EXPECT_EQ(expected, TakeThreadError().description);
}

TEST_F(ClientServicesTest, InitializeFailsWithTheFrameworkCallsErrorAndTellsTheAdapterNothing) {
    const HRESULT kOffline = static_cast<HRESULT>(0x80041010);
    QueueTextCall(L"GetEFData", L"", L"", [&] {
        PlantThreadError(L"QRSim.Framework", L"The workspace is offline");
        return kOffline;
    });
    EXPECT_EQ(kOffline, services->Initialize(WorkspaceDispatch()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kInitializeSource, error.source);
    EXPECT_EQ(L"<QRError Desc=\"The workspace is offline\" HR=\"0x80041010\" />\r\n"
              L"<QRError Desc=\"The workspace is offline\" Src=\"QRSim.Framework\" HR=\"0x80041010\" />",
              error.description);

    // Without a request object at all.
    EXPECT_CALL(*workspace, CreateServiceRequest(_)).WillOnce(Return(E_OUTOFMEMORY));
    EXPECT_EQ(E_OUTOFMEMORY, services->Initialize(WorkspaceDispatch()));
    EXPECT_EQ(L"<QRError Desc=\"" + HResultMessage(E_OUTOFMEMORY) + L"\" HR=\"E_OUTOFMEMORY\" />",
              TakeThreadError().description);
}

TEST_F(ClientServicesTest, InitializeKeepsFrameworkFieldsTheDocumentLacksButEmptiesPlantData) {
    AllowAdapterInitialization();
    ASSERT_EQ(S_OK, InitializeWith(kFullFrameworkData));
    testing::Mock::VerifyAndClearExpectations(adapter.get());

    {
        InSequence order;
        EXPECT_CALL(*adapter, SetRestore(NullBstr()));
        EXPECT_CALL(*adapter, SetPlantData(Text(L""), Text(L"B7"), Text(L"")));
        EXPECT_CALL(*adapter, SetFrameworkData(Text(L"SIG-1"), Text(L"http://ef2.example"), Text(L"EFP1"),
                                               Text(L"uid7"), Text(L"Framework One")));
        EXPECT_CALL(*adapter, SetProductName(Text(L"Morvandel")));
        EXPECT_CALL(*adapter, Initialize(WorkspaceDispatch()));
    }
    EXPECT_EQ(S_OK, InitializeWith(L"<EFData EFURL=\"http://ef2.example\" AREANAME=\"B7\"/>"));
    EXPECT_EQ(L"http://ef2.example", FrameworkData(services.get()).b);
    Texts plant = PlantData(services.get());
    EXPECT_EQ(L"", plant.a);
    EXPECT_EQ(L"B7", plant.b);
    EXPECT_EQ(L"", plant.c);
}

TEST_F(ClientServicesTest, InitializeWithEmptyFrameworkDataStillTellsTheAdapter) {
    {
        InSequence order;
        EXPECT_CALL(*adapter, SetRestore(NullBstr()));
        EXPECT_CALL(*adapter, SetPlantData(Text(L""), Text(L""), Text(L"")));
        EXPECT_CALL(*adapter, SetFrameworkData(Text(L""), Text(L""), Text(L""), Text(L""), Text(L"")));
        EXPECT_CALL(*adapter, SetProductName(Text(L"Morvandel")));
        EXPECT_CALL(*adapter, Initialize(WorkspaceDispatch()));
    }
    EXPECT_EQ(S_OK, InitializeWith(L""));
    EXPECT_FALSE(TakeThreadError().present);
}

// A document that does not parse, and one that carries a document type declaration
// (refused before parsing: Wine's DOM would expand its entities), both give S_FALSE
// and leave the adapter with the previous framework values.
TEST_F(ClientServicesTest, InitializeWithDocumentThatMustNotBeReadGivesSFalseAndKeepsValues) {
    AllowAdapterInitialization();
    ASSERT_EQ(S_OK, InitializeWith(kFullFrameworkData));
    testing::Mock::VerifyAndClearExpectations(adapter.get());

    const wchar_t* documents[] = {
        L"<EFData EFURL=\"http://broken",
        L"not xml at all",
        L"<!DOCTYPE EFData [<!ENTITY sig \"FROM-DTD\">]><EFData EFSIGNATURE=\"&sig;\" EFURL=\"http://dtd\"/>",
        L"<?xml version=\"1.0\"?>\n<!doctype EFData SYSTEM \"http://dtd.example/ef.dtd\"><EFData EFURL=\"http://dtd\"/>",
    };
    for (const wchar_t* document : documents) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(document)));
        {
            InSequence order;
            EXPECT_CALL(*adapter, SetRestore(NullBstr()));
            EXPECT_CALL(*adapter, SetPlantData(Text(L""), Text(L""), Text(L"")));
            EXPECT_CALL(*adapter, SetFrameworkData(Text(L"SIG-1"), Text(L"http://ef.example/zud"), Text(L"EFP1"),
                                                   Text(L"uid7"), Text(L"Framework One")));
            EXPECT_CALL(*adapter, SetProductName(Text(L"Morvandel")));
            EXPECT_CALL(*adapter, Initialize(WorkspaceDispatch()));
        }
        EXPECT_EQ(S_FALSE, InitializeWith(document));
        EXPECT_FALSE(TakeThreadError().present);
        EXPECT_EQ(L"SIG-1", FrameworkData(services.get()).a);
        testing::Mock::VerifyAndClearExpectations(adapter.get());
    }
}

TEST_F(ClientServicesTest, InitializeReadsAttributesOfAnyDocumentElementAndIgnoresTheRest) {
    AllowAdapterInitialization();
    ASSERT_EQ(S_OK, InitializeWith(kFullFrameworkData));
    ASSERT_EQ(S_OK, InitializeWith(L"<?xml version=\"1.0\"?>\n<!-- framework -->\n"
                                   L"<Anything TEFVERSION=\"3.6\" EFURL=\"\" Other=\"x\">"
                                   L"<EFData EFSIGNATURE=\"nested is ignored\"/></Anything>"));
    Texts ef = FrameworkData(services.get());
    EXPECT_EQ(L"SIG-1", ef.a);
    EXPECT_EQ(L"", ef.b) << "an attribute that is present but empty replaces the previous value";
    EXPECT_FALSE(Supports(services.get(), L"Claim"));
}

TEST_F(ClientServicesTest, InitializeKeepsOneReferenceToTheLatestWorkspace) {
    AllowAdapterInitialization();
    ASSERT_EQ(S_OK, InitializeWith(L""));
    ASSERT_EQ(S_OK, InitializeWith(L""));
    EXPECT_EQ(2u, workspace->RefCount());

    Fake<testing::NiceMock<MockWorkspace>> second;
    auto request = new testing::NiceMock<MockServiceRequest>();
    winkit::ComPtr<IServiceRequest> held = winkit::ComPtr<IServiceRequest>::Attach(request);
    EXPECT_CALL(*second, CreateServiceRequest(_)).WillOnce(HandOut<IServiceRequest>(request));
    EXPECT_CALL(*request, GetOutput(_)).WillOnce(WriteText(L""));
    EXPECT_EQ(S_OK, services->Initialize(static_cast<IDispatch*>(second.get())));
    EXPECT_EQ(1u, workspace->RefCount()) << "the previous workspace is released";
    EXPECT_EQ(2u, second->RefCount());
    services.reset();
    EXPECT_EQ(1u, second->RefCount());
}

TEST_F(ClientServicesTest, InitializeFailsWhenNoDomDocumentCanBeMade) {
    Fake<FakeClassFactory> failingDom(static_cast<IUnknown*>(nullptr));
    failingDom->failure = E_OUTOFMEMORY;
    ClassRegistration domRegistration(CLSID_DOMDocument60, failingDom.get());
    ASSERT_EQ(S_OK, domRegistration.result());

    EXPECT_EQ(E_OUTOFMEMORY, InitializeWith(kFullFrameworkData));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kInitializeSource, error.source);
    EXPECT_EQ(L"<QRError Desc=\"" + HResultMessage(E_OUTOFMEMORY) + L"\" HR=\"E_OUTOFMEMORY\" />", error.description);
}

} // namespace
