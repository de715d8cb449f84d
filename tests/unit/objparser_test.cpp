// The object document read into ObjRecord, AttRecord and ElemRecord trees: for each
// document the HRESULT and the whole tree read.
#include <gtest/gtest.h>
#include "objschema.h"
#include "xml_test_support.h"

namespace {

// One line per record, two blanks per level: every field by its letter.
void Describe(const ObjRecord& object, std::wstring& text, const std::wstring& indent = L"") {
    text += indent + L"O X=" + std::to_wstring(object.X) + L" U=" + object.U + L" I=" + object.I + L" N=" + object.N +
            L" C=" + object.C + L"\n";
    for (const AttRecord& property : object.attributes) {
        text += indent + L"  A I=" + property.I + L" V=" + property.V + L" O=" + property.O + L" U=" + property.U +
                L" S=" + std::to_wstring(property.S) + L" C=" + std::to_wstring(property.C) + L"\n";
        for (const ElemRecord& entry : property.elements)
            text += indent + L"    E I=" + std::to_wstring(entry.I) + L" V=" + entry.V + L"\n";
    }
    for (const ObjRecord& nested : object.objects) Describe(nested, text, indent + L"  ");
}

std::wstring Describe(const std::vector<ObjRecord>& objects) {
    std::wstring text;
    for (const ObjRecord& object : objects) Describe(object, text);
    return text;
}

} // namespace

TEST(ObjParser, DocumentsAndTheirTrees) {
    struct Case {
        const wchar_t* document;
        HRESULT expected;
        const wchar_t* tree;
    } cases[] = {
        // Every attribute to its field; the reused property handler starts each A afresh.
        {L"<O X='5' U='u1' I='obj' N='Pump' C='Equipment'>\n"
         L"  <A I='p1' V='v1' O='o1' U='m' S='2' C='3'><E I='1' V='one'/><E I='2' V='two'/></A>\n"
         L"  <A I='p2' V='v2'/>\n"
         L"  <A I='p3' S='-1'><E I='9' V='nine'/></A>\n</O>",
         S_OK,
         L"O X=5 U=u1 I=obj N=Pump C=Equipment\n"
         L"  A I=p1 V=v1 O=o1 U=m S=2 C=3\n    E I=1 V=one\n    E I=2 V=two\n"
         L"  A I=p2 V=v2 O= U= S=0 C=0\n"
         L"  A I=p3 V= O= U= S=-1 C=0\n    E I=9 V=nine\n"},
        // Nested objects go to their parent's list, in document order.
        {L"<O N='outer'><A I='a0'/><O N='middle'><O N='inner1'><A I='a1'/></O><A I='a2'/><O N='inner2'/></O>"
         L"<O N='sibling'/><A I='a3'/></O>",
         S_OK,
         L"O X=0 U= I= N=outer C=\n  A I=a0 V= O= U= S=0 C=0\n  A I=a3 V= O= U= S=0 C=0\n"
         L"  O X=0 U= I= N=middle C=\n    A I=a2 V= O= U= S=0 C=0\n"
         L"    O X=0 U= I= N=inner1 C=\n      A I=a1 V= O= U= S=0 C=0\n"
         L"    O X=0 U= I= N=inner2 C=\n  O X=0 U= I= N=sibling C=\n"},
        // Integers read leniently; undeclared names skipped with what they hold.
        {L"<O X='' Z='ignored'><Q><A I='hidden'/></Q><A I='p' S='12abc' C='' W='1'><E I='x7' V='v'/><E/><F I='3'/>"
         L"</A></O>",
         S_OK, L"O X=0 U= I= N= C=\n  A I=p V= O= U= S=12 C=0\n    E I=0 V=v\n    E I=0 V=\n"},
        // The root must be an object, and each element stand in its own place.
        {L"<A I='1'/>", E_INVALIDARG, L""},
        {L"<E I='1'/>", E_INVALIDARG, L""},
        {L"<O><E I='1'/></O>", E_INVALIDARG, L""},
        {L"<O><A><O/></A></O>", E_INVALIDARG, L""},
        // An object counts once its element has ended.
        {L"<O N='broken'><O N='done'/>", E_FAIL, L""},
    };
    for (const Case& c : cases) {
        std::vector<ObjRecord> objects(2);  // emptied first
        objects[0].N = L"stale";
        EXPECT_EQ(c.expected, ParseObjects(objects, Bstr(c.document).get())) << c.document;
        EXPECT_EQ(c.tree, Describe(objects)) << c.document;
        ThreadError error = TakeThreadError();
        EXPECT_EQ(FAILED(c.expected), error.present) << c.document;
    }
}
