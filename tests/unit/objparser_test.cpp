// The object document read into ObjRecord, AttRecord and ElemRecord trees: for each
// document the HRESULT and the whole tree read. That every attribute reaches its field is
// shown by the assignments document read and written back (assignmentsdocument_test.cpp).
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
    struct Case { const wchar_t* document; HRESULT expected; const wchar_t* tree; } cases[] = {
        // Nested objects go to their parent's list, in document order.
        {L"<O N='outer'><A I='a0'/><O N='middle'><O N='inner1'><A I='a1'/></O><A I='a2'/><O N='inner2'/></O>"
         L"<O N='sibling'/><A I='a3'/></O>",
         S_OK,
         L"O X=0 U= I= N=outer C=\n  A I=a0 V= O= U= S=0 C=0\n  A I=a3 V= O= U= S=0 C=0\n"
         L"  O X=0 U= I= N=middle C=\n    A I=a2 V= O= U= S=0 C=0\n"
         L"    O X=0 U= I= N=inner1 C=\n      A I=a1 V= O= U= S=0 C=0\n"
         L"    O X=0 U= I= N=inner2 C=\n  O X=0 U= I= N=sibling C=\n"},
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
