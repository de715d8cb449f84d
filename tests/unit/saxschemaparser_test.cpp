// The schema-driven SAX parser over Wine's MSXML 6 reader.
#include <gtest/gtest.h>
#include <regex>
#include "diagnostics/hresulttext.h"
#include "xml_test_support.h"

namespace {

enum : int { kRoot = 10, kChild = 20, kLeaf = 25, kText = 30, kReal = 31, kCount = 32, kFlag = 33 };

const SchemaEntry kTestSchema[] = {
    {kSchemaStart, nullptr, 0},     {kComplexElement, L"root", kRoot}, {kExpectedChild, nullptr, kChild},
    {kStringAttribute, L"s", 1},    {kDoubleAttribute, L"d", 2},       {kLongAttribute, L"n", 3},
    {kBoolAttribute, L"b", 4},      {kEndMembers, nullptr, 0},         {kComplexElement, L"child", kChild},
    {kLongAttribute, L"n", 3},      {kEndMembers, nullptr, 0},         {kComplexElement, L"leaf", kLeaf},
    {kEndMembers, nullptr, 0},      {kStringElement, L"text", kText},  {kDoubleElement, L"real", kReal},
    {kLongElement, L"count", kCount}, {kBoolElement, L"flag", kFlag},  {kSchemaEnd, nullptr, 0},
};

// The document level hands out "root"; root hands out "child" only; child hands out
// itself and "leaf".
class SaxSchemaParserTest : public testing::Test {
protected:
    SaxSchemaParserTest() : parser(kTestSchema, log), root(log, L"root"), child(log, L"child"), leaf(log, L"leaf") {
        parser.children[kRoot] = &root;
        root.children[kChild] = &child;
        child.children = {{kChild, &child}, {kLeaf, &leaf}};
    }
    void SetUp() override { ClearThreadError(); }

    // Parses with the result of one recorded call scripted (none for null); the handler
    // is named by the call's prefix.
    HRESULT Parse(const std::wstring& document, const wchar_t* call = nullptr, HRESULT hr = S_OK,
                  const wchar_t* failureDocument = nullptr) {
        log.clear();
        for (RecordingHandler* handler : {&root, &child, &leaf}) {
            handler->results.clear();
            handler->failureDocument = failureDocument;
            if (call && std::wstring(call).rfind(handler->name() + L".", 0) == 0) handler->results[call] = hr;
        }
        return parser.Parse(document);
    }

    std::wstring log;
    RecordingParser parser;
    RecordingHandler root, child, leaf;
};

} // namespace

// What the handlers hear between root's start and end (nothing at all for "").
TEST_F(SaxSchemaParserTest, CallbackSequences) {
    struct Case { const wchar_t* document; bool ignoreCase; std::wstring calls; } cases[] = {
        // Declared elements, attributes and values in document order, converted by their
        // declared type; entities resolved; undeclared attributes skipped.
        {L"<root s='a&amp;b' n='12abc' d='1.5' b='Yes' other='x'><child n='-7'/><text>hello</text>"
         L"<count>42</count><real>2.5</real><flag>off</flag></root>", false,
         L"root.Attr(1,\"a&b\") root.Attr(3,12) root.Attr(2,1.5) root.Attr(4,true) root.GetChild(20) child.Start(20) "
         L"child.Attr(3,-7) child.End(20) root.ChildEnd(20,child) root.Value(30,\"hello\") root.Value(32,42) "
         L"root.Value(31,2.5) root.Value(33,false)"},
        // Names match in their exact case unless told otherwise.
        {L"<ROOT N='4'><Child/></ROOT>", true,
         L"root.Attr(3,4) root.GetChild(20) child.Start(20) child.End(20) root.ChildEnd(20,child)"},
        {L"<ROOT N='4'/>", false, L""},
    };
    for (const Case& c : cases) {
        parser.SetOptions(c.ignoreCase, true);
        EXPECT_EQ(S_OK, Parse(c.document)) << c.document;
        const std::wstring inRoot = L"doc.GetChild(10) root.Start(10) " + c.calls + L" root.End(10) doc.ChildEnd(10,root)";
        EXPECT_EQ(c.calls.empty() ? L"" : inRoot, log) << c.document;
        EXPECT_FALSE(parser.IsAborted());
        EXPECT_FALSE(TakeThreadError().present);
    }
}

// The same under a locale with a decimal comma. (\x0661 is an Arabic-Indic digit: no number here.)
TEST(SchemaValueConversion, TextsByDeclaredType) {
    struct Case { int type; const wchar_t* text; const wchar_t* expected; } cases[] = {
        {kValueLong, L"12abc", L"12"}, {kValueLong, L"", L"0 invalid"}, {kValueLong, nullptr, L"0 invalid"},
        {kValueLong, L"abc", L"0"}, {kValueLong, L" -15", L"-15"}, {kValueLong, L"99999999999", L"2147483647"},
        {kValueLong, L"-99999999999", L"-2147483648"}, {kValueLong, L"123456789012345678901234567890", L"2147483647"},
        {kValueBool, L"Yes", L"true"}, {kValueBool, L"T", L"true"}, {kValueBool, L"2", L"false invalid"},
        {kValueBool, L"f", L"false"}, {kValueBool, L"ON", L"true"}, {kValueBool, L"0", L"false"},
        {kValueBool, L"Off", L"false"}, {kValueBool, L"no", L"false"}, {kValueBool, L"maybe", L"false invalid"},
        {kValueBool, L"yes ", L"false invalid"}, {kValueDouble, L"-2.5e3xyz", L"-2500"}, {kValueDouble, L"1,5", L"1"},
        {kValueDouble, L"", L"nan invalid"}, {kValueDouble, L"--1", L"nan invalid"}, {kValueDouble, L"\x0661", L"nan invalid"},
        {kValueDouble, L"  -1.25e2 trailing", L"-125"}, {kValueDouble, L"+.5", L"0.5"}, {kValueDouble, L"1e999", L"inf"},
        {kValueString, nullptr, L"\"\""},
    };
    auto check = [&] {
        for (const Case& c : cases)
            EXPECT_EQ(c.expected, DescribeValue(ConvertSchemaValue(c.type, c.text))) << (c.text ? c.text : L"null");
    };
    check();
    WithGermanLocale(check);
}

// A handler that asks to stop ends the parse successfully: every open element is closed
// from the innermost outward, the document level last with End(0).
TEST_F(SaxSchemaParserTest, AbortClosesOpenElementsInnermostFirstAndSucceeds) {
    struct Case { const wchar_t* aborting; const wchar_t* document; const wchar_t* calls; } cases[] = {
        {L"leaf.Start(25)", L"<root><child n='1'><leaf/><text>never</text></child><child n='9'/></root>",
         L"doc.GetChild(10) root.Start(10) root.GetChild(20) child.Start(20) child.Attr(3,1) child.GetChild(25) "
         L"leaf.Start(25) leaf.End(25) child.ChildEnd(25,leaf) child.End(20) root.ChildEnd(20,child) root.End(10) "
         L"doc.ChildEnd(10,root) doc.End(0)"},
        // The aborting element has ended: its parent hears of it before the rest closes.
        {L"child.End(20)", L"<root><child/><child/></root>",
         L"doc.GetChild(10) root.Start(10) root.GetChild(20) child.Start(20) child.End(20) root.ChildEnd(20,child) "
         L"root.End(10) doc.ChildEnd(10,root) doc.End(0)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(S_OK, Parse(c.document, c.aborting, QRSAX_E_ABORT)) << c.document;
        EXPECT_TRUE(parser.IsAborted()) << c.document;
        EXPECT_EQ(c.calls, log) << c.document;
        EXPECT_FALSE(TakeThreadError().present);
    }
    ASSERT_EQ(S_OK, Parse(L"<root/>"));  // the next parse starts afresh
    EXPECT_FALSE(parser.IsAborted());
    EXPECT_EQ(L"doc.GetChild(10) root.Start(10) root.End(10) doc.ChildEnd(10,root)", log);
}

// Failures come back with the element being parsed and its position; nothing after the
// failing call is reported.
TEST_F(SaxSchemaParserTest, FailuresComeBackWithTheirDocuments) {
    const std::wstring invalid = HResultMessage(E_INVALIDARG), start = L"SAXSchemaParser::startElement()";
    const wchar_t* locked = L"<QRError Desc=\"The task 'T1' is locked\" HR=\"E_ACCESSDENIED\" />";
    // The scripted call (or null), its result and its handler's document.
    struct Case { const wchar_t* failing; HRESULT scripted; const wchar_t* handlerDocument; bool skipUndeclared;
                  const wchar_t* document; HRESULT expected; std::wstring source, description, calls; } cases[] = {
        {L"child.Attr(3,2)", E_INVALIDARG, nullptr, true, L"<root>\n<child n='1'/>\n<child n='2'/>\n<text>x</text></root>",
         E_INVALIDARG, start,
         L"<QRError Desc=\"" + invalid + L"\" Activity=\"Parsing element child(Ln 3, Col 14)\" HR=\"E_INVALIDARG\" />\r\n"
         L"<QRError Desc=\"" + invalid + L"\" HR=\"E_INVALIDARG\" />",
         L"doc.GetChild(10) root.Start(10) root.GetChild(20) child.Start(20) child.Attr(3,1) child.End(20) "
         L"root.ChildEnd(20,child) root.GetChild(20) child.Start(20) child.Attr(3,2)"},
        // A handler's own document is carried below the parser's element.
        {L"child.End(20)", E_ACCESSDENIED, locked, true, L"<root><child/><child/></root>", E_ACCESSDENIED,
         L"SAXSchemaParser::endElement()",
         L"<QRError Desc=\"The task 'T1' is locked\" Activity=\"Parsing element child(Ln 1, Col 14)\" "
         L"HR=\"E_ACCESSDENIED\" />\r\n" + std::wstring(locked),
         L"doc.GetChild(10) root.Start(10) root.GetChild(20) child.Start(20) child.End(20)"},
        {L"root.Chars(\"abc\")", E_ACCESSDENIED, locked, true, L"<root>abc<child/></root>", E_ACCESSDENIED,
         L"Handler", locked, L"doc.GetChild(10) root.Start(10) root.Chars(\"abc\")"},
        {nullptr, S_OK, nullptr, false, L"<root><zz/></root>", E_INVALIDARG, start,
         L"<QRError Desc=\"The element zz is not declared\" Activity=\"Parsing element zz(Ln 1, Col 11)\" "
         L"HR=\"E_INVALIDARG\" />\r\n<QRError Desc=\"The element zz is not declared\" HR=\"E_INVALIDARG\" />",
         L"doc.GetChild(10) root.Start(10)"},
    };
    for (const Case& c : cases) {
        parser.SetOptions(false, c.skipUndeclared);
        EXPECT_EQ(c.expected, Parse(c.document, c.failing, c.scripted, c.handlerDocument)) << c.document;
        EXPECT_FALSE(parser.IsAborted());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(c.source, error.source) << c.document;
        EXPECT_EQ(c.description, error.description) << c.document;
        EXPECT_EQ(c.calls, log) << c.document;
    }
    EXPECT_EQ(E_FAIL, parser.ParseString(nullptr));
    EXPECT_TRUE(TakeThreadError().present);
}

// The reader is given the text without the white space before its root element; the
// positions in the documents still count from the caller's text.
TEST_F(SaxSchemaParserTest, PositionsCountFromTheCallersText) {
    const struct { const wchar_t* document; bool skipUndeclared; const wchar_t* positions; } cases[] = {
        {L"<root>\n<zz/></root>", false, L"(Ln 2, Col 5) (Ln 4, Col 5) (Ln 5, Col 5)"},
        {L"<root zz='1'/>", false, L"(Ln 1, Col 14) (Ln 3, Col 16) (Ln 4, Col 14)"},
        {L"<root>\n<child></root>", true, L"(Ln 2, Col 7) (Ln 4, Col 7) (Ln 5, Col 7)"},
    };
    for (const auto& c : cases) {
        parser.SetOptions(false, c.skipUndeclared);
        std::wstring positions;
        for (const wchar_t* lead : {L"", L"\r\n\r\n\t ", L"\r  \n \r"}) {
            ASSERT_TRUE(FAILED(Parse(lead + std::wstring(c.document))));
            const std::wstring description = TakeThreadError().description;
            std::wsmatch match;
            std::regex_search(description, match, std::wregex(L"\\(Ln \\d+, Col \\d+\\)"));
            positions += (positions.empty() ? L"" : L" ") + match.str();
        }
        EXPECT_EQ(c.positions, positions) << c.document;
    }
}
