// The object document read into ObjRecord, AttRecord and ElemRecord trees.
#include <gmock/gmock.h>
#include "objschema.h"
#include "xml_test_support.h"

namespace {

class ObjParserTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }
    HRESULT Parse(std::wstring_view text) { return ParseObjects(objects, Bstr(text).get()); }
    std::vector<ObjRecord> objects;
};

} // namespace

TEST_F(ObjParserTest, PropertiesKeepDocumentOrderAndTheirOwnEntries) {
    ASSERT_EQ(S_OK, Parse(L"<O X='5' U='u1' I='obj' N='Pump' C='Equipment'>\n"
                          L"  <A I='p1' V='v1' O='o1' U='m' S='2' C='3'><E I='1' V='one'/><E I='2' V='two'/></A>\n"
                          L"  <A I='p2' V='v2'/>\n"
                          L"  <A I='p3' S='-1'><E I='9' V='nine'/></A>\n"
                          L"</O>"));
    ASSERT_EQ(1u, objects.size());
    const ObjRecord& object = objects[0];
    EXPECT_EQ(5, object.X);
    EXPECT_EQ(L"u1", object.U);
    EXPECT_EQ(L"obj", object.I);
    EXPECT_EQ(L"Pump", object.N);
    EXPECT_EQ(L"Equipment", object.C);
    EXPECT_TRUE(object.objects.empty());
    ASSERT_EQ(3u, object.attributes.size());

    const AttRecord& first = object.attributes[0];
    EXPECT_EQ(L"p1", first.I);
    EXPECT_EQ(L"v1", first.V);
    EXPECT_EQ(L"o1", first.O);
    EXPECT_EQ(L"m", first.U);
    EXPECT_EQ(2, first.S);
    EXPECT_EQ(3, first.C);
    ASSERT_EQ(2u, first.elements.size());
    EXPECT_EQ(1, first.elements[0].I);
    EXPECT_EQ(L"one", first.elements[0].V);
    EXPECT_EQ(2, first.elements[1].I);
    EXPECT_EQ(L"two", first.elements[1].V);

    // The reused property handler starts each A afresh.
    const AttRecord& second = object.attributes[1];
    EXPECT_EQ(L"p2", second.I);
    EXPECT_EQ(L"", second.O);
    EXPECT_EQ(0, second.S);
    EXPECT_EQ(0, second.C);
    EXPECT_TRUE(second.elements.empty());

    const AttRecord& third = object.attributes[2];
    EXPECT_EQ(L"", third.V);
    EXPECT_EQ(-1, third.S);
    ASSERT_EQ(1u, third.elements.size());
    EXPECT_EQ(L"nine", third.elements[0].V);
}

TEST_F(ObjParserTest, NestedObjectsGoToTheirParentsList) {
    ASSERT_EQ(S_OK, Parse(L"<O N='outer'><A I='a0'/>"
                          L"<O N='middle'><O N='inner1'><A I='a1'/></O><A I='a2'/><O N='inner2'/></O>"
                          L"<O N='sibling'/><A I='a3'/></O>"));
    ASSERT_EQ(1u, objects.size());
    const ObjRecord& outer = objects[0];
    EXPECT_EQ(L"outer", outer.N);
    ASSERT_EQ(2u, outer.attributes.size());
    EXPECT_EQ(L"a0", outer.attributes[0].I);
    EXPECT_EQ(L"a3", outer.attributes[1].I);
    ASSERT_EQ(2u, outer.objects.size());
    const ObjRecord& middle = outer.objects[0];
    EXPECT_EQ(L"middle", middle.N);
    ASSERT_EQ(1u, middle.attributes.size());
    EXPECT_EQ(L"a2", middle.attributes[0].I);
    ASSERT_EQ(2u, middle.objects.size());
    EXPECT_EQ(L"inner1", middle.objects[0].N);
    ASSERT_EQ(1u, middle.objects[0].attributes.size());
    EXPECT_EQ(L"a1", middle.objects[0].attributes[0].I);
    EXPECT_EQ(L"inner2", middle.objects[1].N);
    EXPECT_TRUE(middle.objects[1].attributes.empty());
    EXPECT_EQ(L"sibling", outer.objects[1].N);

    // Copies are deep and independent.
    ObjRecord copy = outer;
    copy.objects[0].objects[0].attributes[0].I = L"changed";
    EXPECT_EQ(L"a1", outer.objects[0].objects[0].attributes[0].I);
}

TEST_F(ObjParserTest, IntegersAndUndeclaredNames) {
    ASSERT_EQ(S_OK, Parse(L"<O X='' Z='ignored'><Q><A I='hidden'/></Q><A I='p' S='12abc' C='' W='1'>"
                          L"<E I='x7' V='v'/><E/><F I='3'/></A></O>"));
    ASSERT_EQ(1u, objects.size());
    EXPECT_EQ(0, objects[0].X);
    ASSERT_EQ(1u, objects[0].attributes.size());
    const AttRecord& property = objects[0].attributes[0];
    EXPECT_EQ(L"p", property.I);
    EXPECT_EQ(12, property.S);
    EXPECT_EQ(0, property.C);
    ASSERT_EQ(2u, property.elements.size());
    EXPECT_EQ(0, property.elements[0].I);
    EXPECT_EQ(L"v", property.elements[0].V);
    EXPECT_EQ(0, property.elements[1].I);
    EXPECT_EQ(L"", property.elements[1].V);
}

TEST_F(ObjParserTest, RootMustBeAnObject) {
    for (const wchar_t* document : {L"<A I='1'/>", L"<E I='1'/>"}) {
        EXPECT_EQ(E_INVALIDARG, Parse(document)) << document;
        ThreadError error = TakeThreadError();
        EXPECT_EQ(L"SAXSchemaParser::startElement()", error.source);
        EXPECT_THAT(error.description, testing::HasSubstr(L"HR=\"E_INVALIDARG\""));
        EXPECT_TRUE(objects.empty());
    }
    // An element in the wrong place is refused by its parent's handler.
    EXPECT_EQ(E_INVALIDARG, Parse(L"<O><E I='1'/></O>"));
    TakeThreadError();
    EXPECT_TRUE(objects.empty());
}

TEST_F(ObjParserTest, DestinationIsEmptiedFirst) {
    objects.resize(3);
    ASSERT_EQ(S_OK, Parse(L"<O N='only'/>"));
    ASSERT_EQ(1u, objects.size());
    EXPECT_EQ(L"only", objects[0].N);
    EXPECT_EQ(E_FAIL, Parse(L"<O N='broken'>"));
    TakeThreadError();
    EXPECT_TRUE(objects.empty());
}
