// Documents at a reader's limits neither crash nor hang (every entry point: hostile_test.cpp).
#include <gmock/gmock.h>
#include "objschema.h"
#include "support/watchdog.h"
#include "taskitemcollection.h"
#include "documenttype.h"
#include "xml_test_support.h"

namespace {

// A failure leaves a QRError document; its description, or empty.
HRESULT ExpectErrorDocument(HRESULT hr, std::wstring* description = nullptr) {
    ThreadError error = TakeThreadError();
    if (FAILED(hr)) {
        EXPECT_THAT(error.description, testing::StartsWith(L"<QRError "));
    }
    if (description) *description = error.description;
    return hr;
}

class HostileDocumentsTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }

    HRESULT Load(const char* name, const std::wstring& document) {
        Watchdog watchdog(name);
        return ExpectErrorDocument(tasks.Load(Bstr(document).get()), &error);
    }

    std::wstring error;

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
    // Long texts are read several characters at a time: a declaration counts at every
    // offset, up to the text's last character, and '!'s elsewhere do not hide it.
    for (size_t offset = 0; offset < 9; ++offset) {
        std::wstring text = std::wstring(offset, L'!') + L"<!doctype";
        EXPECT_TRUE(HasDocumentTypeDeclaration(text)) << offset;
        EXPECT_TRUE(HasDocumentTypeDeclaration(text + L"!")) << offset;
        EXPECT_FALSE(HasDocumentTypeDeclaration(text.substr(0, text.size() - 1))) << offset;
    }
}

// Wine's reader stops a string at 256 levels with a fatal error, and the task read before
// stays (deeper nesting in this code itself: saxreaderseam_test.cpp). The documents stay
// below the length that goes to the reader as a stream.
TEST_F(HostileDocumentsTest, DeepNestingNeitherOverflowsNorHangs) {
    const int kDepth = 40000;
    const std::wstring first = L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Name=\"first\"/>";
    const std::tuple<const char*, const wchar_t*, const wchar_t*> nestings[] = {
        {"nested tasks", L"<TaskItem>", L"</TaskItem>"}, {"nested unknown elements", L"<x>", L"</x>"}};
    for (const auto& [name, open, close] : nestings) {
        EXPECT_EQ(E_FAIL, Load(name, first + Nested(open, close, kDepth) + L"</TaskItemList>")) << name;
        ASSERT_EQ(1u, tasks.Count()) << name;
        EXPECT_EQ(L"first", tasks.Item(0).ToDo_Name) << name;
    }
    std::vector<ObjRecord> objects;
    Watchdog watchdog("nested objects");
    EXPECT_EQ(E_FAIL, ExpectErrorDocument(ParseObjects(objects, Bstr(Nested(L"<O X=\"1\">", L"</O>", kDepth)).get())));
}

// Wine's reader refuses a value over ten million characters: the load fails and the task
// read before stays. A value below that arrives whole.
TEST_F(HostileDocumentsTest, AttributeValuesOverAndUnderTheReadersLimit) {
    const std::wstring first = L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Name=\"first\"/>";
    std::wstring huge(10 * 1024 * 1024, L'v');
    EXPECT_EQ(E_FAIL, Load("a 10 MB value", first + L"<TaskItem ToDo_Index=\"2\" ToDo_Notes=\"" + huge + L"\"/></TaskItemList>"));
    EXPECT_THAT(error, testing::HasSubstr(L"MSXML Fatal error: ")) << "the reader's own refusal";
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(L"first", tasks.Item(0).ToDo_Name);
    std::wstring large(4 * 1024 * 1024, L'w');
    large[12345] = L'\x00E9';
    ASSERT_EQ(S_OK, Load("a 4 MB value", L"<TaskItemList><TaskItem ToDo_Notes=\"" + large + L"\" ToDo_Index=\"2\"/></TaskItemList>"));
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(large, tasks.Item(0).ToDo_Notes);
    EXPECT_EQ(2, tasks.Item(0).ToDo_Index);
}

TEST_F(HostileDocumentsTest, HundredThousandTasks) {
    std::wstring document = L"<TaskItemList>\n<Privilege Delete=\"1\"/>\n";
    for (int i = 1; i <= 100000; ++i)
        document += L"<TaskItem ToDo_Index=\"" + std::to_wstring(i) + L"\" ToDo_Name=\"Task " + std::to_wstring(i) + L"\"/>\n";
    ASSERT_EQ(S_OK, Load("100,000 tasks", document + L"</TaskItemList>"));
    ASSERT_EQ(100000u, tasks.Count());
    EXPECT_EQ(100000, tasks.Item(99999).ToDo_Index);
    EXPECT_EQ(L"Task 100000", tasks.Item(99999).ToDo_Name);
    EXPECT_TRUE(tasks.Delete);
}
