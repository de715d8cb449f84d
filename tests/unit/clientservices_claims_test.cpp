// ClaimObject and ClaimStream: the framework call, the adapter's synchronization, the
// selection component and the identifiers a stream claim takes.
#include "clientservices_fixture.h"
#include "winkit/unique_safearray.h"
#include "winkit/unique_variant.h"

using testing::_;
using testing::InSequence;
using testing::Return;
using namespace testcom;

namespace {

constexpr const wchar_t* kClaimObjectSource = L"QRCIGEFClientServices::ClaimObject";
const std::wstring kClaims = L"<Claims><Claim OID=\"17\"/></Claims>";

class ClientServicesClaims : public ClientServicesTest {
protected:
    void SetUp() override {
        ClientServicesTest::SetUp();
        AllowAdapterInitialization();
        ASSERT_EQ(S_OK, InitializeWith(L""));
    }

    // One-dimensional array of numbers of `type`, lower bound `lower`.
    template <class T>
    static winkit::UniqueVariant Array(VARTYPE type, std::initializer_list<T> values, LONG lower = 0) {
        winkit::UniqueVariant array;
        SAFEARRAY* made = SafeArrayCreateVector(type, lower, static_cast<ULONG>(values.size()));
        LONG index = lower;
        for (T value : values) {
            SafeArrayPutElement(made, &index, &value);
            ++index;
        }
        V_VT(array.get()) = VT_ARRAY | type;
        V_ARRAY(array.get()) = made;
        return array;
    }

    // The selection is made and run, and asked for its dispatch interface, in that order.
    void ExpectSelectionConnected() {
        InSequence order;
        EXPECT_CALL(*selection, Run(nullptr)).WillOnce(Return(S_OK));
        EXPECT_CALL(*selection, DispatchInterfaceAsked());
    }

    // RunCommand for each identifier, each followed by its ClaimObject's framework call.
    void ExpectStreamsClaimed(std::initializer_list<LONG> ids, IDispatch* host) {
        InSequence order;
        for (LONG id : ids) {
            EXPECT_CALL(*selection, RunCommand(Text(L"ClaimStream"), id, host, 0, 0)).WillOnce(Return(S_OK));
            EXPECT_CALL(*workspace, CreateServiceRequest(_));
            QueueTextCall(L"SynchronizeObjectClaim", std::to_wstring(id), L"");
        }
    }
};

TEST_F(ClientServicesClaims, ClaimObjectAsksTheFrameworkThenHasTheAdapterSynchronize) {
    InSequence order;
    EXPECT_CALL(*workspace, CreateServiceRequest(_));
    QueueTextCall(L"SynchronizeObjectClaim", L"17", kClaims);
    EXPECT_CALL(*adapter, SynchronizeClaims(Text(kClaims), _)).WillOnce(WriteText(L"message not used"));
    EXPECT_EQ(S_OK, services->ClaimObject(B(L"17").get()));
    EXPECT_FALSE(TakeThreadError().present);
}

TEST_F(ClientServicesClaims, ClaimObjectWithEmptyFrameworkOutputDoesNotCallTheAdapter) {
    QueueTextCall(L"SynchronizeObjectClaim", L"17", L"");
    EXPECT_EQ(S_OK, services->ClaimObject(B(L"17").get()));
}

TEST_F(ClientServicesClaims, ClaimObjectReturnsTheAdaptersCodeAndError) {
    QueueTextCall(L"SynchronizeObjectClaim", L"17", kClaims);
    EXPECT_CALL(*adapter, SynchronizeClaims(_, _)).WillOnce([](BSTR, BSTR* message) {
        PlantThreadError(L"QREFOldAdapter", L"Object 17 is locked");
        *message = SysAllocString(L"locked");
        return E_FAIL;
    });
    EXPECT_EQ(E_FAIL, services->ClaimObject(B(L"17").get()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kClaimObjectSource, error.source);
    EXPECT_EQ(L"<QRError Desc=\"Object 17 is locked\" HR=\"E_FAIL\" />\r\n"
              L"<QRError Desc=\"Object 17 is locked\" Src=\"QREFOldAdapter\" HR=\"E_FAIL\" />",
              error.description);

    QueueTextCall(L"SynchronizeObjectClaim", L"18", kClaims);
    EXPECT_CALL(*adapter, SynchronizeClaims(_, _)).WillOnce(Return(S_FALSE));
    EXPECT_EQ(S_FALSE, services->ClaimObject(B(L"18").get()));
}

TEST_F(ClientServicesClaims, ClaimObjectFailsWithTheFrameworkCallsError) {
    const HRESULT kUnknownObject = static_cast<HRESULT>(0x80043001);
    QueueTextCall(L"SynchronizeObjectClaim", L"99", L"", [&] {
        PlantThreadError(L"QRSim.Framework", L"No object 99");
        return kUnknownObject;
    });
    EXPECT_EQ(kUnknownObject, services->ClaimObject(B(L"99").get()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kClaimObjectSource, error.source);
    EXPECT_EQ(L"<QRError Desc=\"No object 99\" HR=\"0x80043001\" />\r\n"
              L"<QRError Desc=\"No object 99\" Src=\"QRSim.Framework\" HR=\"0x80043001\" />",
              error.description);
}

// Before any workspace was given there is nothing to ask the framework through.
TEST_F(ClientServicesTest, ClaimObjectWithoutAWorkspaceFails) {
    const std::wstring expected = L"<QRError Desc=\"ClientServices interface not initialized\" HR=\"E_FAIL\" />";
    EXPECT_EQ(E_FAIL, services->ClaimObject(B(L"17").get()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kClaimObjectSource, error.source);
    EXPECT_EQ(expected, error.description);

    // A refused Initialize leaves the object without a workspace, too.
    AllowAdapterInitialization();
    ASSERT_EQ(S_OK, InitializeWith(L""));
    Fake<FakeDispatch> notAWorkspace;
    ASSERT_EQ(E_INVALIDARG, services->Initialize(notAWorkspace.get()));
    EXPECT_EQ(1u, workspace->RefCount());
    EXPECT_EQ(E_FAIL, services->ClaimObject(B(L"17").get()));
    EXPECT_EQ(expected, TakeThreadError().description);
}

TEST_F(ClientServicesClaims, ClaimStreamOfZeroOrOfZerosMakesTheSelectionAndClaimsNothing) {
    winkit::UniqueVariant zero = winkit::UniqueVariant::Long(0);
    ExpectSelectionConnected();
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *zero.get()));
    EXPECT_EQ(1, selectionFactory->created);
    testing::Mock::VerifyAndClearExpectations(selection.get());

    ExpectSelectionConnected();
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *Array<LONG>(VT_I4, {0, 0, 0}).get()));
    EXPECT_EQ(2, selectionFactory->created);
}

TEST_F(ClientServicesClaims, ClaimStreamClaimsEachIdentifierInArrayOrder) {
    Fake<FakeDispatch> host;  // the workspace given to ClaimStream goes to the selection
    ExpectSelectionConnected();
    ExpectStreamsClaimed({5, 7, 9}, host.get());
    EXPECT_EQ(S_OK, services->ClaimStream(host.get(), *Array<LONG>(VT_I4, {5, 7, 9}).get()));
    EXPECT_FALSE(TakeThreadError().present);
}

TEST_F(ClientServicesClaims, ClaimStreamReadsShortVariantAndReferencedArrays) {
    ExpectSelectionConnected();
    ExpectStreamsClaimed({-3, 4}, WorkspaceDispatch());
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *Array<SHORT>(VT_I2, {-3, 0, 4}).get()));
    testing::Mock::VerifyAndClearExpectations(selection.get());

    // Elements that cannot be read as a number are skipped; the lower bound need not be 0.
    winkit::UniqueVariant mixed;
    {
        SAFEARRAY* made = SafeArrayCreateVector(VT_VARIANT, 3, 5);
        winkit::UniqueVariant elements[5];
        elements[0] = winkit::UniqueVariant::Long(11);
        elements[1] = winkit::UniqueVariant::String(L"12");
        elements[2] = winkit::UniqueVariant::String(L"abc");
        elements[4] = winkit::UniqueVariant::Double(13.0);
        for (LONG i = 0; i < 5; ++i) {
            LONG index = 3 + i;
            SafeArrayPutElement(made, &index, elements[i].get());
        }
        V_VT(mixed.get()) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(mixed.get()) = made;
    }
    ExpectSelectionConnected();
    ExpectStreamsClaimed({11, 12, 13}, WorkspaceDispatch());
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *mixed.get()));
    testing::Mock::VerifyAndClearExpectations(selection.get());

    winkit::UniqueVariant array = Array<LONG>(VT_I4, {21});
    VARIANT byReference;
    V_VT(&byReference) = VT_ARRAY | VT_I4 | VT_BYREF;
    V_ARRAYREF(&byReference) = &V_ARRAY(array.get());
    ExpectSelectionConnected();
    ExpectStreamsClaimed({21}, WorkspaceDispatch());
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), byReference));
    testing::Mock::VerifyAndClearExpectations(selection.get());

    winkit::UniqueVariant text = winkit::UniqueVariant::String(L"42");
    ExpectSelectionConnected();
    ExpectStreamsClaimed({42}, WorkspaceDispatch());
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *text.get()));
}

TEST_F(ClientServicesClaims, ClaimStreamWithArraysItCannotTakeClaimsNothing) {
    winkit::UniqueVariant twoDimensional;
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    V_VT(twoDimensional.get()) = VT_ARRAY | VT_I4;
    V_ARRAY(twoDimensional.get()) = SafeArrayCreate(VT_I4, 2, bounds);
    LONG index[2] = {0, 0};
    LONG five = 5;
    SafeArrayPutElement(V_ARRAY(twoDimensional.get()), index, &five);

    winkit::UniqueVariant texts;
    {
        SAFEARRAY* made = SafeArrayCreateVector(VT_BSTR, 0, 1);
        LONG at = 0;
        winkit::UniqueBstr five_text = B(L"5");
        SafeArrayPutElement(made, &at, five_text.get());
        V_VT(texts.get()) = VT_ARRAY | VT_BSTR;
        V_ARRAY(texts.get()) = made;
    }
    // An array whose VARIANT type says VT_I4 but whose elements are VARIANTs.
    winkit::UniqueVariant mislabelled;
    V_VT(mislabelled.get()) = VT_ARRAY | VT_I4;
    V_ARRAY(mislabelled.get()) = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    winkit::UniqueVariant notANumber = winkit::UniqueVariant::String(L"stream");

    for (const VARIANT* value : {twoDimensional.get(), texts.get(), mislabelled.get(), notANumber.get()}) {
        ExpectSelectionConnected();
        EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *value));
        testing::Mock::VerifyAndClearExpectations(selection.get());
    }
}

TEST_F(ClientServicesClaims, ClaimStreamFailsWhenTheSelectionCannotBeReached) {
    const std::wstring message = L"Unable to connect to QRCGenericSvcs::QRCSelectKBDlg";
    winkit::UniqueVariant id = winkit::UniqueVariant::Long(5);

    selectionFactory->failure = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, services->ClaimStream(WorkspaceDispatch(), *id.get()));
    EXPECT_EQ(L"<QRError Desc=\"" + message + L"\" HR=\"0x80040154\" />", TakeThreadError().description);
    selectionFactory->failure = S_OK;

    EXPECT_CALL(*selection, Run(_)).WillOnce(Return(E_ACCESSDENIED));
    EXPECT_EQ(E_ACCESSDENIED, services->ClaimStream(WorkspaceDispatch(), *id.get()));
    EXPECT_EQ(L"<QRError Desc=\"" + message + L"\" HR=\"E_ACCESSDENIED\" />", TakeThreadError().description);

    selection->answersDispatchInterface = false;
    EXPECT_CALL(*selection, Run(_)).WillOnce(Return(S_OK));
    EXPECT_EQ(E_NOINTERFACE, services->ClaimStream(WorkspaceDispatch(), *id.get()));
    EXPECT_EQ(L"<QRError Desc=\"" + message + L"\" HR=\"E_NOINTERFACE\" />", TakeThreadError().description);
}

// A failed RunCommand ends the claim with the component's error information, whether
// it left it on the thread or in EXCEPINFO.
TEST_F(ClientServicesClaims, ClaimStreamStopsAtAFailedSelection) {
    const HRESULT kClaimed = static_cast<HRESULT>(0x80044001);
    const std::wstring expected =
        L"<QRError Desc=\"The stream is claimed by another user\" HR=\"0x80044001\" />\r\n"
        L"<QRError Desc=\"The stream is claimed by another user\" Src=\"QRCSelectKBDlg\" HR=\"0x80044001\" />";
    for (bool throughExcepInfo : {false, true}) {
        SCOPED_TRACE(throughExcepInfo ? "EXCEPINFO" : "thread error information");
        selection->reportsThroughExcepInfo = throughExcepInfo;
        ExpectSelectionConnected();
        {
            InSequence order;
            EXPECT_CALL(*selection, RunCommand(Text(L"ClaimStream"), 5, _, 0, 0)).WillOnce(Return(S_OK));
            EXPECT_CALL(*workspace, CreateServiceRequest(_));
            QueueTextCall(L"SynchronizeObjectClaim", L"5", L"");
            EXPECT_CALL(*selection, RunCommand(Text(L"ClaimStream"), 6, _, 0, 0)).WillOnce(Return(kClaimed));
        }
        EXPECT_EQ(kClaimed, services->ClaimStream(WorkspaceDispatch(), *Array<LONG>(VT_I4, {5, 6, 7}).get()));
        ThreadError error = TakeThreadError();
        EXPECT_EQ(L"QRCSelectKBDlg", error.source);
        EXPECT_EQ(expected, error.description);
        testing::Mock::VerifyAndClearExpectations(selection.get());
    }
}

TEST_F(ClientServicesClaims, ClaimStreamGoesOnAfterAFailedObjectClaim) {
    ExpectSelectionConnected();
    {
        InSequence order;
        EXPECT_CALL(*selection, RunCommand(Text(L"ClaimStream"), 5, _, 0, 0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*workspace, CreateServiceRequest(_));
        QueueTextCall(L"SynchronizeObjectClaim", L"5", L"", E_FAIL);
        EXPECT_CALL(*selection, RunCommand(Text(L"ClaimStream"), 7, _, 0, 0)).WillOnce(Return(S_OK));
        EXPECT_CALL(*workspace, CreateServiceRequest(_));
        QueueTextCall(L"SynchronizeObjectClaim", L"7", kClaims);
        EXPECT_CALL(*adapter, SynchronizeClaims(Text(kClaims), _)).WillOnce(Return(S_OK));
    }
    EXPECT_EQ(S_OK, services->ClaimStream(WorkspaceDispatch(), *Array<LONG>(VT_I4, {5, 7}).get()));
}

} // namespace
