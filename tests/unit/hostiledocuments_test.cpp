// Documents come from another component: none of these may crash, hang or reach
// outside the document. Each loads or fails with an HRESULT and a QRError document.
#include <gmock/gmock.h>
#include <chrono>
#include "objschema.h"
#include "taskitemcollection.h"
#include "xmlprolog.h"
#include "xml_test_support.h"


namespace {

constexpr const wchar_t* kDtdRefusal =
    L"<QRError Desc=\"XML documents with a document type declaration are not accepted\" "
    L"HR=\"0x8004c002\" />";

class HostileDocumentsTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }

    // Loads through the task list parser; the time bound guards against expansion or
    // quadratic work.
    HRESULT Load(const std::wstring& document, double maxSeconds = 20) {
        auto start = std::chrono::steady_clock::now();
        HRESULT hr = tasks.Load(Bstr(document).get());
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, maxSeconds);
        return hr;
    }

    // A failure must leave a QRError document for the caller.
    static void ExpectErrorDocument(HRESULT hr) {
        ThreadError error = TakeThreadError();
        if (SUCCEEDED(hr)) return;
        ASSERT_TRUE(error.present);
        EXPECT_THAT(error.description, testing::StartsWith(L"<QRError "));
    }

    TaskItemCollection tasks;
};

std::wstring TaskLine(int index) {
    return L"<TaskItem ToDo_Index=\"" + std::to_wstring(index) + L"\" ToDo_Name=\"Task " + std::to_wstring(index) +
           L"\" ToDo_Status=\"1\"/>\n";
}

} // namespace

TEST_F(HostileDocumentsTest, EntityExpansionBombIsRefusedBeforeParsing) {
    std::wstring bomb = L"<?xml version=\"1.0\"?>\n<!DOCTYPE TaskItemList [\n <!ENTITY a0 \"lol\">\n";
    for (int i = 1; i <= 12; ++i) {
        std::wstring references;
        for (int k = 0; k < 10; ++k) references += L"&a" + std::to_wstring(i - 1) + L";";
        bomb += L" <!ENTITY a" + std::to_wstring(i) + L" \"" + references + L"\">\n";
    }
    bomb += L"]>\n<TaskItemList><TaskItem ToDo_Name=\"&a12;\"/></TaskItemList>";
    EXPECT_EQ(QRSAX_E_DTD_PROHIBITED, Load(bomb, 5));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(kDtdRefusal, error.description);
    EXPECT_EQ(L"SAXSchemaParser::ParseString", error.source);
    EXPECT_EQ(0u, tasks.Count());
}

TEST(XmlPrologTest, FindsADocumentTypeDeclarationBehindEverythingAPrologMayHold) {
    struct Case {
        const wchar_t* text;
        bool refused;
    } cases[] = {
        {L"<!DOCTYPE r><r/>", true},
        {L"\xFEFF<!DOCTYPE r><r/>", true},
        {L" \t\r\n<!DOCTYPE r><r/>", true},
        {L"<?xml version=\"1.0\"?><!DOCTYPE r><r/>", true},
        {L"<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\n<!-- c -->\n<?pi x?>\n<!DOCTYPE r><r/>", true},
        {L"<!-- one --><!-- two --><?a?><?b ?><!DOCTYPE r><r/>", true},
        {L"<?pi don't ?><!DOCTYPE r><r/>", true},                      // quotes mean nothing in an instruction
        {L"<?xml version=\"1.0\" encoding=\"?>\"?><!DOCTYPE r><r/>", true},  // a quoted "?>"
        {L"<r/>", false},
        {L"<?xml version=\"1.0\"?><r><!DOCTYPE r></r>", false},  // not in the prolog: the reader refuses it
        {L"<!-- <!DOCTYPE r> --><r/>", false},
        {L"<!doctype r><r/>", false},                                // XML is case-sensitive
        {L"<!-- unterminated <!DOCTYPE r>", false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.refused, HasDocumentTypeDeclaration(c.text, wcslen(c.text))) << c.text;
    EXPECT_FALSE(HasDocumentTypeDeclaration(nullptr, 0));
    // The length given counts, not a terminating NUL.
    const wchar_t withNul[] = L"<!--\0--><!DOCTYPE r>";
    EXPECT_TRUE(HasDocumentTypeDeclaration(withNul, sizeof withNul / sizeof withNul[0] - 1));
}

TEST_F(HostileDocumentsTest, DeclarationsOutsideTheProlog) {
    // Text that only looks like a declaration is ordinary content.
    std::wstring inComment = L"<!-- <!DOCTYPE x> --><TaskItemList><TaskItem ToDo_Name=\"&lt;!DOCTYPE\"/></TaskItemList>";
    EXPECT_EQ(S_OK, Load(inComment));
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(L"<!DOCTYPE", tasks.Item(0).ToDo_Name);
    // After the root element a declaration is a well-formedness error of the reader.
    HRESULT hr = Load(L"<TaskItemList/><!DOCTYPE x [<!ENTITY a \"b\">]>");
    EXPECT_EQ(E_FAIL, hr);
    ExpectErrorDocument(hr);
}

TEST_F(HostileDocumentsTest, DeepNestingNeitherOverflowsNorHangs) {
    const int kDepth = 100000;
    std::wstring document = L"<TaskItemList>";
    document.reserve(kDepth * 20);
    for (int i = 0; i < kDepth; ++i) document += L"<TaskItem>";
    for (int i = 0; i < kDepth; ++i) document += L"</TaskItem>";
    document += L"</TaskItemList>";
    // Wine's reader stops at 256 levels with a fatal error; deeper nesting in this code
    // itself is driven through a stand-in reader (saxreaderseam_test.cpp).
    HRESULT hr = Load(document, 60);
    ExpectErrorDocument(hr);
    EXPECT_LE(tasks.Count(), static_cast<size_t>(kDepth));

    std::wstring undeclared = L"<TaskItemList>";
    for (int i = 0; i < kDepth; ++i) undeclared += L"<x>";
    for (int i = 0; i < kDepth; ++i) undeclared += L"</x>";
    undeclared += L"</TaskItemList>";
    hr = Load(undeclared, 60);
    ExpectErrorDocument(hr);

    std::vector<ObjRecord> objects;
    std::wstring nested;
    for (int i = 0; i < kDepth; ++i) nested += L"<O X=\"1\">";
    for (int i = 0; i < kDepth; ++i) nested += L"</O>";
    hr = ParseObjects(objects, Bstr(nested).get());
    ExpectErrorDocument(hr);
}

TEST_F(HostileDocumentsTest, TenMegabyteAttributeValue) {
    std::wstring value(10 * 1024 * 1024, L'v');
    HRESULT hr = Load(L"<TaskItemList><TaskItem ToDo_Index=\"1\" ToDo_Notes=\"" + value + L"\"/></TaskItemList>", 60);
    if (SUCCEEDED(hr)) {
        ASSERT_EQ(1u, tasks.Count());
        EXPECT_EQ(value, tasks.Item(0).ToDo_Notes);
    }
    ExpectErrorDocument(hr);  // Wine's reader refuses values over ten million characters

    // Below the reader's limit the value arrives whole.
    std::wstring large(4 * 1024 * 1024, L'w');
    large[12345] = L'\x00E9';
    ASSERT_EQ(S_OK, Load(L"<TaskItemList><TaskItem ToDo_Notes=\"" + large + L"\" ToDo_Index=\"2\"/></TaskItemList>", 60));
    ASSERT_EQ(1u, tasks.Count());
    EXPECT_EQ(large, tasks.Item(0).ToDo_Notes);
    EXPECT_EQ(2, tasks.Item(0).ToDo_Index);
}

TEST_F(HostileDocumentsTest, HundredThousandTasks) {
    std::wstring document = L"<TaskItemList>\n<Privilege Delete=\"1\"/>\n";
    for (int i = 1; i <= 100000; ++i) document += TaskLine(i);
    document += L"</TaskItemList>";
    ASSERT_EQ(S_OK, Load(document, 60));
    ASSERT_EQ(100000u, tasks.Count());
    EXPECT_EQ(100000, tasks.Item(99999).ToDo_Index);
    EXPECT_EQ(L"Task 100000", tasks.Item(99999).ToDo_Name);
    EXPECT_TRUE(tasks.Delete);
}

// Malformed documents at every entry point: tests/reliability/hostile_test.cpp.
TEST_F(HostileDocumentsTest, ACutDocumentKeepsTheTasksReadBeforeTheBreak) {
    std::wstring whole = L"<TaskItemList>\n" + TaskLine(1) + TaskLine(2) + TaskLine(3) + L"</TaskItemList>";
    HRESULT hr = Load(whole.substr(0, whole.find(L"Task 3")));
    EXPECT_EQ(E_FAIL, hr);
    ExpectErrorDocument(hr);
    EXPECT_EQ(2u, tasks.Count());
}
