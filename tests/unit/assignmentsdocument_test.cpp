// The assignments document read into records and written back through the XML writer.
#include <gtest/gtest.h>
#include "assignmentsdocument.h"

namespace {

// As the writer formats it: each element on its own line, two blanks per level.
const wchar_t kDocument[] =
    L"\n<O X=\"41\" U=\"u-1\" I=\"i-1\" N=\"P-101\" C=\"Pump\">"
    L"\n  <A I=\"Flow\" V=\"10\" O=\"8\" U=\"m3/h\" S=\"0\" C=\"2\">"
    L"\n    <E I=\"1\" V=\"low\"/>"
    L"\n    <E I=\"2\" V=\"high\"/>"
    L"\n  </A>"
    L"\n  <A I=\"Seal\" V=\"a &amp; b &lt;c&gt;\" O=\"&quot;old&quot;\" U=\"\" S=\"1\" C=\"-3\"/>"
    L"\n  <O X=\"12\" U=\"u-2\" I=\"i-2\" N=\"M-101\" C=\"Motor\">"
    L"\n    <A I=\"Power\" V=\"7.5\" O=\"5.5\" U=\"kW\" S=\"0\" C=\"0\"/>"
    L"\n    <O X=\"13\" U=\"\" I=\"\" N=\"B-1\" C=\"Bearing\"/>"
    L"\n  </O>"
    L"\n</O>";

std::wstring WithTopX(std::wstring document, const std::wstring& x) {
    document.replace(document.find(L"X=\"41\""), 6, L"X=\"" + x + L"\"");
    return document;
}

} // namespace

TEST(AssignmentsDocument, ReadsTheWholeTree) {
    std::vector<ObjRecord> records = ReadAssignments(kDocument);
    ASSERT_EQ(1u, records.size());
    const ObjRecord& top = records[0];
    EXPECT_EQ(41, top.X);
    EXPECT_EQ(L"P-101", top.N);
    ASSERT_EQ(2u, top.attributes.size());
    EXPECT_EQ(L"a & b <c>", top.attributes[1].V);
    EXPECT_EQ(-3, top.attributes[1].C);
    ASSERT_EQ(2u, top.attributes[0].elements.size());
    EXPECT_EQ(L"high", top.attributes[0].elements[1].V);
    ASSERT_EQ(1u, top.objects.size());
    ASSERT_EQ(1u, top.objects[0].objects.size());
    EXPECT_EQ(13, top.objects[0].objects[0].X);
}

TEST(AssignmentsDocument, EmptyOrUnreadableDocumentsGiveNoTopObject) {
    EXPECT_TRUE(ReadAssignments(L"").empty());
    EXPECT_TRUE(ReadAssignments(L" \r\n\t").empty());
    EXPECT_TRUE(ReadAssignments(L"not a document").empty());
    EXPECT_TRUE(ReadAssignments(L"<O N=\"cut short\"><A I=\"x\"/>").empty());
    EXPECT_TRUE(ReadAssignments(L"<A I=\"x\"/>").empty());
}

TEST(AssignmentsDocument, RebuildPutsTheTaskIndexOnTheTopObjectOnly) {
    std::vector<ObjRecord> records = ReadAssignments(kDocument);
    ASSERT_EQ(1u, records.size());
    std::wstring written;
    ASSERT_EQ(S_OK, WriteAssignments(records[0], 7, written));
    // Everything else, entries and the properties' C included, comes back as read.
    EXPECT_EQ(WithTopX(kDocument, L"7").substr(1), written);  // without the leading line feed
}

TEST(AssignmentsDocument, RebuildCarriesChangedFlags) {
    std::vector<ObjRecord> records = ReadAssignments(kDocument);
    ASSERT_EQ(1u, records.size());
    records[0].attributes[0].S = 1;
    records[0].objects[0].attributes[0].S = 1;
    std::wstring written;
    ASSERT_EQ(S_OK, WriteAssignments(records[0], 41, written));
    std::wstring expected = std::wstring(kDocument).substr(1);
    expected.replace(expected.find(L"U=\"m3/h\" S=\"0\""), 14, L"U=\"m3/h\" S=\"1\"");
    expected.replace(expected.find(L"U=\"kW\" S=\"0\""), 12, L"U=\"kW\" S=\"1\"");
    EXPECT_EQ(expected, written);
    // And reading it again gives the same records.
    std::vector<ObjRecord> again = ReadAssignments(written);
    ASSERT_EQ(1u, again.size());
    EXPECT_EQ(1, again[0].attributes[0].S);
    EXPECT_EQ(2u, again[0].attributes[0].elements.size());
}
