// The methods that only forward to the adapter: same arguments, one call each, and the
// adapter's result ignored except by SynchronizeClaims.
#include "clientservices_fixture.h"

using testing::_;
using testing::Return;
using namespace testcom;

namespace {

TEST_F(ClientServicesTest, ForwardedMethodsCallTheAdapterOnceAndReturnSOkWhateverItSays) {
    winkit::UniqueBstr oid = B(L"OID-9"), project = B(L"Project P1");
    IDispatch* ws = WorkspaceDispatch();
    const HRESULT kAdapterFailure = static_cast<HRESULT>(0x80042002);
    struct Row {
        const char* name;
        std::function<void()> expect;
        std::function<HRESULT()> call;
    };
    const Row rows[] = {
        {"ConnectToEF", [&] { EXPECT_CALL(*adapter, ConnectToEF()).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->ConnectToEF(); }},
        {"Publish", [&] { EXPECT_CALL(*adapter, Publish(oid.get())).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->Publish(oid.get()); }},
        {"Retrieve", [&] { EXPECT_CALL(*adapter, Retrieve()).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->Retrieve(); }},
        {"FindDocsToPublish", [&] { EXPECT_CALL(*adapter, FindDocsToPublish()).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->FindDocsToPublish(); }},
        {"LaunchFrameworkBrowser",
         [&] { EXPECT_CALL(*adapter, LaunchFrameworkBrowser()).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->LaunchFrameworkBrowser(); }},
        {"Register", [&] { EXPECT_CALL(*adapter, Register(ws)).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->Register(ws); }},
        {"PublishProjectAsBuilt",
         [&] { EXPECT_CALL(*adapter, PublishProjectAsBuilt(project.get())).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->PublishProjectAsBuilt(project.get()); }},
        {"Revise", [&] { EXPECT_CALL(*adapter, Revise(oid.get())).WillOnce(Return(kAdapterFailure)); },
         [&] { return services->Revise(oid.get()); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.expect();
        EXPECT_EQ(S_OK, row.call());
        testing::Mock::VerifyAndClearExpectations(adapter.get());
    }
    EXPECT_EQ(1, adapterFactory->created);
}

TEST_F(ClientServicesTest, GetProjectListHandsOverWhatTheAdapterWrote) {
    SAFEARRAY* made = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    EXPECT_CALL(*adapter, GetProjectList(_)).WillOnce([made](SAFEARRAY** out) {
        *out = made;
        return E_FAIL;
    });
    SAFEARRAY* projects = reinterpret_cast<SAFEARRAY*>(0x1234);
    EXPECT_EQ(S_OK, services->GetProjectList(&projects));
    EXPECT_EQ(made, projects);
    SafeArrayDestroy(projects);

    EXPECT_CALL(*adapter, GetProjectList(_)).WillOnce(Return(S_OK));
    projects = reinterpret_cast<SAFEARRAY*>(0x1234);
    EXPECT_EQ(S_OK, services->GetProjectList(&projects));
    EXPECT_EQ(nullptr, projects) << "an out-parameter the adapter leaves alone is null, not the caller's garbage";
}

TEST_F(ClientServicesTest, SynchronizeClaimsPassesTheAdaptersResultMessageAndErrorThrough) {
    winkit::UniqueBstr claims = B(L"<Claims><Claim OID=\"17\"/></Claims>");
    EXPECT_CALL(*adapter, SynchronizeClaims(claims.get(), _)).WillOnce(WriteText(L""));
    BSTR message = nullptr;
    EXPECT_EQ(S_OK, services->SynchronizeClaims(claims.get(), &message));
    EXPECT_EQ(0u, SysStringLen(message));
    SysFreeString(message);
    message = nullptr;
    EXPECT_FALSE(TakeThreadError().present);

    const HRESULT kLocked = static_cast<HRESULT>(0x80042001);
    EXPECT_CALL(*adapter, SynchronizeClaims(claims.get(), _)).WillOnce([&](BSTR, BSTR* out) {
        PlantThreadError(L"QREFOldAdapter", L"Object 17 is locked");
        *out = SysAllocString(L"17: locked by bob");
        return kLocked;
    });
    EXPECT_EQ(kLocked, services->SynchronizeClaims(claims.get(), &message));
    EXPECT_STREQ(L"17: locked by bob", message);
    SysFreeString(message);
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QREFOldAdapter", error.source);
    EXPECT_EQ(L"Object 17 is locked", error.description);

    EXPECT_CALL(*adapter, SynchronizeClaims(claims.get(), _)).WillOnce(Return(S_FALSE));
    EXPECT_EQ(S_FALSE, services->SynchronizeClaims(claims.get(), &message));
    EXPECT_EQ(nullptr, message);
}

TEST_F(ClientServicesTest, PublishReturnsSOkEvenWhenTheAdapterFails) {
    EXPECT_CALL(*adapter, Publish(Text(L"OID-1"))).WillOnce([](BSTR) {
        PlantThreadError(L"QREFOldAdapter", L"publishing is off");
        return E_FAIL;
    });
    EXPECT_EQ(S_OK, services->Publish(B(L"OID-1").get()));
}

} // namespace
