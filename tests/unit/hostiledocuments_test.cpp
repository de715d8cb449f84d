// Documents come from another component: the ones a reader meets at its limits (deep
// nesting, a huge value, a huge list) neither crash nor hang, and each loads or fails
// with a QRError document. Malformed documents and declarations at every entry point:
// tests/reliability/hostile_test.cpp.
#include <gmock/gmock.h>
#include <chrono>
#include "objschema.h"
#include "taskitemcollection.h"
#include "documenttype.h"
#include "xml_test_support.h"

namespace {

// A failure leaves a QRError document.
HRESULT ExpectErrorDocument(HRESULT hr) {
    ThreadError error = TakeThreadError();
    if (FAILED(hr)) {
        EXPECT_THAT(error.description, testing::StartsWith(L"<QRError "));
    }
    return hr;
}

class HostileDocumentsTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }

    // Loads within a time that rules out quadratic work.
    HRESULT Load(const std::wstring& document) {
        auto start = std::chrono::steady_clock::now();
        HRESULT hr = tasks.Load(Bstr(document).get());
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 60);
        return ExpectErrorDocument(hr);
    }

    TaskItemCollection tasks;
};

std::wstring Nested(const std::wstring& open, const std::wstring& close, int depth) {
    std::wstring text;
    text.reserve(depth * (open.size() + close.size()));
    for (int i = 0; i < depth; ++i) text += open;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

} // namespace

// One rule for every reader: each text refused by the prolog scan or by the search of the
// whole text in any case stays refused; texts neither refused stay accepted.
TEST(DocumentTypeTest, RefusesEveryDeclarationWhereverItStandsInAnyCase) {
    struct Case {
        std::wstring_view text;
        bool refused;
    } cases[] = {
        {L"<!DOCTYPE r><r/>", true}, {L"\xFEFF<!DOCTYPE r><r/>", true}, {L" \t\r\n<!DOCTYPE r><r/>", true},
        {L"<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\n<!-- c -->\n<?pi x?>\n<!DOCTYPE r><r/>", true},
        {L"<?xml version=\"1.0\" encoding=\"?>\"?><!DOCTYPE r><r/>", true},  // a quoted "?>"
        {L"<?xml version=\"1.0\"?><r><!DOCTYPE r></r>", true},               // after the prolog
        {L"<r/><!DOCTYPE", true}, {L"<!-- <!DOCTYPE r> --><r/>", true}, {L"<!-- unterminated <!DOCTYPE r>", true},
        {L"<r><![CDATA[<!DOCTYPE]]></r>", true}, {L"<!doctype r><r/>", true}, {L"<!DocType r><r/>", true},
        {std::wstring_view(L"<!--\0--><!DOCTYPE r>", 20), true},  // the whole length counts, NULs too
        {std::wstring_view(L"<r/>\0<!doctype", 14), true},
        {L"<r/>", false}, {L"", false}, {L"<!DOCTYP", false}, {L"<r/><!DOCTYP", false}, {L"<! DOCTYPE r><r/>", false},
        {L"<!-DOCTYPE--><r/>", false}, {L"<!ELEMENT r><r/>", false}, {L"<r a=\"&lt;!DOCTYPE r\">DOCTYPE</r>", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.refused, HasDocumentTypeDeclaration(c.text)) << std::wstring(c.text);
    EXPECT_FALSE(HasDocumentTypeDeclaration(std::wstring_view()));
}

// Wine's reader stops at 256 levels with a fatal error; deeper nesting in this code itself
// is driven through a stand-in reader (saxreaderseam_test.cpp).
TEST_F(HostileDocumentsTest, DeepNestingNeitherOverflowsNorHangs) {
    const int kDepth = 100000;
    Load(L"<TaskItemList>" + Nested(L"<TaskItem>", L"</TaskItem>", kDepth) + L"</TaskItemList>");
    EXPECT_LE(tasks.Count(), static_cast<size_t>(kDepth));
    Load(L"<TaskItemList>" + Nested(L"<x>", L"</x>", kDepth) + L"</TaskItemList>");
    std::vector<ObjRecord> objects;
    ExpectErrorDocument(ParseObjects(objects, Bstr(Nested(L"<O X=\"1\">", L"</O>", kDepth)).get()));
}

// Wine's reader refuses values over ten million characters; below that a value arrives whole.
TEST_F(HostileDocumentsTest, TenMegabyteAttributeValue) {
    std::wstring value(10 * 1024 * 1024, L'v');
    if (SUCCEEDED(Load(L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Notes=\"" + value + L"\"/></TaskItemList>"))) {
        ASSERT_EQ(1u, tasks.Count());
        EXPECT_EQ(value, tasks.Item(0).ToDo_Notes);
    }
    std::wstring large(4 * 1024 * 1024, L'w');
    large[12345] = L'\x00E9';
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem ToDo_Notes=\"" + large + L"\" ToDo_Index=\"2\"/></TaskItemList>"));
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(large, tasks.Item(0).ToDo_Notes);
    EXPECT_EQ(2, tasks.Item(0).ToDo_Index);
}

TEST_F(HostileDocumentsTest, HundredThousandTasks) {
    std::wstring document = L"<TaskItemList>\n<Privilege Delete=\"1\"/>\n";
    for (int i = 1; i <= 100000; ++i)
        document += L"<TaskItem ToDo_Index=\"" + std::to_wstring(i) + L"\" ToDo_Name=\"Task " + std::to_wstring(i) + L"\"/>\n";
    ASSERT_EQ(S_OK, Load(document + L"</TaskItemList>"));
    ASSERT_EQ(100000u, tasks.Count());
    EXPECT_EQ(100000, tasks.Item(99999).ToDo_Index);
    EXPECT_EQ(L"Task 100000", tasks.Item(99999).ToDo_Name);
    EXPECT_TRUE(tasks.Delete);
}
