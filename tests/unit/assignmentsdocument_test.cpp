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

} // namespace

TEST(AssignmentsDocument, RebuildGivesBackWhatWasReadWithTheTaskIndexAndFlags) {
    std::vector<ObjRecord> records = ReadAssignments(kDocument);
    ASSERT_EQ(1u, records.size());
    std::wstring written;
    // Everything comes back as read, entries and the properties' C included, without the
    // leading line feed.
    ASSERT_EQ(S_OK, WriteAssignments(records[0], records[0].X, written));
    EXPECT_EQ(kDocument + 1, written);

    // The task index goes on the top object only; changed flags are carried.
    records[0].attributes[0].S = 1;
    records[0].objects[0].attributes[0].S = 1;
    ASSERT_EQ(S_OK, WriteAssignments(records[0], 7, written));
    std::wstring expected = kDocument + 1;
    expected.replace(expected.find(L"X=\"41\""), 6, L"X=\"7\"");
    expected.replace(expected.find(L"U=\"m3/h\" S=\"0\""), 14, L"U=\"m3/h\" S=\"1\"");
    expected.replace(expected.find(L"U=\"kW\" S=\"0\""), 12, L"U=\"kW\" S=\"1\"");
    EXPECT_EQ(expected, written);
}

// An object counts once its element has ended; the root must be an object, and each
// element stand in its own place.
TEST(AssignmentsDocument, EmptyUnreadableOrMisplacedDocumentsGiveNoTopObject) {
    for (const wchar_t* document : {L"", L" \r\n\t", L"not a document", L"<O N=\"cut short\"><A I=\"x\"/>", L"<A I=\"x\"/>",
                                    L"<O N=\"read\"/><O N=\"then broken\">", L"<E I=\"1\"/>", L"<O><E I=\"1\"/></O>",
                                    L"<O><A><O/></A></O>"})
        EXPECT_TRUE(ReadAssignments(document).empty()) << document;
}
