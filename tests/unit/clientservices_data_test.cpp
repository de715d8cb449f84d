// The framework and plant data, the XML file name, feature queries and the pointer
// checks of the methods that hand texts out.
#include "clientservices_fixture.h"

using testing::_;
using testing::InSequence;
using testing::Return;
using namespace testcom;

namespace {

std::wstring Take(BSTR& text) {
    std::wstring value = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    text = nullptr;
    return value;
}

TEST_F(ClientServicesTest, GetEFDataOnAFreshObjectConnectsAndGivesThreeEmptyTexts) {
    BSTR signature = nullptr, url = nullptr, plant = nullptr;
    ASSERT_EQ(S_OK, services->GetEFData(&signature, &url, &plant));
    EXPECT_EQ(1, adapterFactory->created);
    ASSERT_NE(nullptr, signature);
    ASSERT_NE(nullptr, url);
    ASSERT_NE(nullptr, plant);
    EXPECT_EQ(L"", Take(signature));
    EXPECT_EQ(L"", Take(url));
    EXPECT_EQ(L"", Take(plant));
}

TEST_F(ClientServicesTest, SetEFDataKeepsCopiesAndForwardsNothing) {
    {
        winkit::UniqueBstr signature = B(L"SIG-9"), url = B(L"http://ef9"), plant = B(L"EFP9");
        ASSERT_EQ(S_OK, services->SetEFData(signature.get(), url.get(), plant.get()));
        signature.get()[0] = L'X';  // the caller's text is not the object's
    }
    BSTR signature = nullptr, url = nullptr, plant = nullptr;
    ASSERT_EQ(S_OK, services->GetEFData(&signature, &url, &plant));
    EXPECT_EQ(L"SIG-9", Take(signature));
    EXPECT_EQ(L"http://ef9", Take(url));
    EXPECT_EQ(L"EFP9", Take(plant));

    ASSERT_EQ(S_OK, services->SetEFData(nullptr, nullptr, nullptr));
    ASSERT_EQ(S_OK, services->GetEFData(&signature, &url, &plant));
    EXPECT_EQ(L"", Take(signature));
    EXPECT_EQ(L"", Take(url));
    EXPECT_EQ(L"", Take(plant));
}

TEST_F(ClientServicesTest, SetPlantDataKeepsCopiesAndForwardsTheSameTexts) {
    winkit::UniqueBstr plant = B(L"South"), area = B(L"A1"), unit = B(L"U9");
    EXPECT_CALL(*adapter, SetPlantData(plant.get(), area.get(), unit.get())).WillOnce(Return(E_FAIL));
    ASSERT_EQ(S_OK, services->SetPlantData(plant.get(), area.get(), unit.get()));
    BSTR p = nullptr, a = nullptr, u = nullptr;
    ASSERT_EQ(S_OK, services->GetPlantData(&p, &a, &u));
    EXPECT_NE(plant.get(), p) << "the caller gets a copy it owns";
    EXPECT_EQ(L"South", Take(p));
    EXPECT_EQ(L"A1", Take(a));
    EXPECT_EQ(L"U9", Take(u));
}

// The type library gives GetEFData's and GetPlantData's pointers no direction: a null
// one is refused before anything is written through the others or anyone is called.
TEST_F(ClientServicesTest, NullPointersAreRefusedAndNothingIsWritten) {
    BSTR kept = reinterpret_cast<BSTR>(0x1234);
    BSTR a = kept, b = kept;
    const std::pair<std::function<HRESULT()>, const wchar_t*> calls[] = {
        {[&] { return services->GetEFData(nullptr, &a, &b); }, L"GetEFData"},
        {[&] { return services->GetEFData(&a, nullptr, &b); }, L"GetEFData"},
        {[&] { return services->GetEFData(&a, &b, nullptr); }, L"GetEFData"},
        {[&] { return services->GetPlantData(nullptr, &a, &b); }, L"GetPlantData"},
        {[&] { return services->GetPlantData(&a, nullptr, &b); }, L"GetPlantData"},
        {[&] { return services->GetPlantData(&a, &b, nullptr); }, L"GetPlantData"},
        {[&] { return services->get_ConnectionStatus(nullptr); }, L"ConnectionStatus"},
        {[&] { return services->get_XMLFileName(nullptr); }, L"XMLFileName"},
        {[&] { return services->GetProjectList(nullptr); }, L"GetProjectList"},
        {[&] { return services->SynchronizeClaims(B(L"<Claims/>").get(), nullptr); }, L"SynchronizeClaims"},
        {[&] { return services->SupportsFeature(B(L"Claim").get(), nullptr); }, L"SupportsFeature"},
    };
    for (const auto& [call, method] : calls) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(method)));
        EXPECT_EQ(E_POINTER, call());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(L"<QRError Desc=\"Invalid pointer passed to method " + std::wstring(method) +
                      L"\" HR=\"E_POINTER\" />",
                  error.description);
        EXPECT_EQ(kept, a);
        EXPECT_EQ(kept, b);
    }
    EXPECT_EQ(0, globalsFactory->created);
}

TEST_F(ClientServicesTest, XMLFileNameIsHandedOverOnceWhenTheAdapterGivesNone) {
    {
        InSequence order;
        EXPECT_CALL(*adapter, put_XMLFileName(Text(L"c:\\first.xml"))).WillOnce(Return(E_FAIL));
        EXPECT_CALL(*adapter, put_XMLFileName(Text(L"c:\\second.xml"))).WillOnce(Return(S_OK));
        EXPECT_CALL(*adapter, get_XMLFileName(_)).Times(2).WillRepeatedly(Return(E_NOTIMPL));
    }
    ASSERT_EQ(S_OK, services->put_XMLFileName(B(L"c:\\first.xml").get()));
    ASSERT_EQ(S_OK, services->put_XMLFileName(B(L"c:\\second.xml").get()));
    BSTR name = nullptr;
    ASSERT_EQ(S_OK, services->get_XMLFileName(&name));
    EXPECT_EQ(L"c:\\second.xml", Take(name));
    ASSERT_EQ(S_OK, services->get_XMLFileName(&name));
    EXPECT_EQ(L"", Take(name));
}

TEST_F(ClientServicesTest, XMLFileNameFromTheAdapterReplacesTheStoredOne) {
    EXPECT_CALL(*adapter, put_XMLFileName(_)).WillOnce(Return(S_OK));
    EXPECT_CALL(*adapter, get_XMLFileName(_))
        .WillOnce(WriteText(L"d:\\adapter.xml"))
        .WillOnce(WriteText(L"d:\\adapter2.xml", E_FAIL));
    ASSERT_EQ(S_OK, services->put_XMLFileName(B(L"c:\\mine.xml").get()));
    BSTR name = nullptr;
    ASSERT_EQ(S_OK, services->get_XMLFileName(&name));
    EXPECT_EQ(L"d:\\adapter.xml", Take(name));
    ASSERT_EQ(S_OK, services->get_XMLFileName(&name)) << "the adapter's result is not looked at";
    EXPECT_EQ(L"d:\\adapter2.xml", Take(name));
}

struct FeatureRow {
    const wchar_t* version;  // TEFVERSION; null: the document has none
    bool claimAndRevise;     // "Claim", "Revise", "C", "Refresh"
};

class ClientServicesFeatures : public ClientServicesTest, public testing::WithParamInterface<FeatureRow> {};

TEST_P(ClientServicesFeatures, OnlyCapitalCOrRAtVersion365OrLater) {
    AllowAdapterInitialization();
    std::wstring document = L"<EFData";
    if (GetParam().version) document += L" TEFVERSION=\"" + std::wstring(GetParam().version) + L"\"";
    document += L"/>";
    ASSERT_EQ(S_OK, InitializeWith(document));

    auto supports = [&](const wchar_t* feature) {
        VARIANT_BOOL supported = VARIANT_TRUE;
        EXPECT_EQ(S_OK, services->SupportsFeature(feature ? B(feature).get() : nullptr, &supported));
        return supported;
    };
    VARIANT_BOOL expected = GetParam().claimAndRevise ? VARIANT_TRUE : VARIANT_FALSE;
    EXPECT_EQ(expected, supports(L"Claim"));
    EXPECT_EQ(expected, supports(L"Revise"));
    EXPECT_EQ(expected, supports(L"C"));
    EXPECT_EQ(expected, supports(L"Refresh"));
    EXPECT_EQ(VARIANT_FALSE, supports(L"claim"));
    EXPECT_EQ(VARIANT_FALSE, supports(L"revise"));
    EXPECT_EQ(VARIANT_FALSE, supports(L"Publish"));
    EXPECT_EQ(VARIANT_FALSE, supports(L""));
    EXPECT_EQ(VARIANT_FALSE, supports(nullptr));
}

INSTANTIATE_TEST_SUITE_P(Versions, ClientServicesFeatures,
                         testing::Values(FeatureRow{L"3.65", true}, FeatureRow{L"3.6", false},
                                         FeatureRow{L"3.64999", false}, FeatureRow{L"4", true},
                                         FeatureRow{L"3.7 beta", true}, FeatureRow{L"beta", false},
                                         FeatureRow{L"", false}, FeatureRow{nullptr, false}));

TEST_F(ClientServicesTest, SupportsFeatureOnAFreshObjectConnectsAndSaysNo) {
    VARIANT_BOOL supported = VARIANT_TRUE;
    EXPECT_EQ(S_OK, services->SupportsFeature(B(L"Claim").get(), &supported));
    EXPECT_EQ(VARIANT_FALSE, supported);
    EXPECT_EQ(1, adapterFactory->created);
}

} // namespace
