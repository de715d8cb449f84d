// The client services object as COM callers meet it: its interfaces and identity, and
// aggregation. Late-bound calls with a script's variables by reference are the script
// client's (tests/scripts/clientservices.vbs).
#include "clientservices_fixture.h"

using namespace testcom;

namespace {

TEST_F(ClientServicesTest, AnswersItsInterfacesWithOneIdentity) {
    winkit::ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, services.As(&identity));
    const std::pair<const IID*, HRESULT> interfaces[] = {
        {&IID_IDispatch, S_OK},           {&IID_IQRCIGEFClientServices, S_OK}, {&IID_ISupportErrorInfo, S_OK},
        {&IID_IProvideClassInfo, E_NOINTERFACE}, {&IID_IQRCTaskList, E_NOINTERFACE},
    };
    for (const auto& [iid, expected] : interfaces) {
        winkit::ComPtr<IUnknown> face, itsIdentity;
        EXPECT_EQ(expected, services.QueryTo(*iid, face.put_void())) << winkit::GuidToString(*iid);
        if (face) face.QueryTo(IID_IUnknown, itsIdentity.put_void());
        EXPECT_EQ(face ? identity.get() : nullptr, itsIdentity.get());
    }
    winkit::ComPtr<ISupportErrorInfo> errorInfo;
    ASSERT_EQ(S_OK, services.As(&errorInfo));
    EXPECT_EQ(S_OK, errorInfo->InterfaceSupportsErrorInfo(IID_IQRCIGEFClientServices));
    EXPECT_EQ(S_FALSE, errorInfo->InterfaceSupportsErrorInfo(IID_IDispatch));
}

TEST_F(ClientServicesTest, AggregatedObjectDelegatesToItsOuterObject) {
    Fake<FakeDispatch> outer;
    winkit::ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, winkit::ComModule::Get().GetClassObject(CLSID_QRCIGEFClientServices, IID_IClassFactory,
                                                             factory.put_void()));
    winkit::ComPtr<IUnknown> inner;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(outer.get(), IID_IQRCIGEFClientServices, inner.put_void()));
    ASSERT_EQ(S_OK, factory->CreateInstance(outer.get(), IID_IUnknown, inner.put_void()));
    ULONG outerRefs = outer->RefCount();
    {
        winkit::ComPtr<IQRCIGEFClientServices> face;
        ASSERT_EQ(S_OK, inner->QueryInterface(IID_IQRCIGEFClientServices, face.put_void()));
        EXPECT_EQ(outerRefs + 1, outer->RefCount()) << "the inner object's interfaces count on the outer";
        long status = -1;
        EXPECT_EQ(S_OK, face->get_ConnectionStatus(&status));
    }
    EXPECT_EQ(outerRefs, outer->RefCount());
    inner.reset();
    EXPECT_EQ(1, winkit::ModuleLock::Count()) << "only the fixture's own object is left";
}

} // namespace
