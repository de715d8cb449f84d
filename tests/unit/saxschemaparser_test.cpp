// The schema-driven SAX parser over Wine's MSXML 6 reader: callback sequences,
// conversions, skipping of undeclared names, the abort protocol and error documents.
#include <gmock/gmock.h>
#include <regex>
#include "diagnostics/hresulttext.h"
#include "diagnostics/qrcomexception.h"
#include "xml_test_support.h"

using testing::ElementsAreArray;
using testing::HasSubstr;
using testing::StartsWith;

namespace {

enum : int { kRoot = 10, kChild = 20, kLeaf = 25, kText = 30, kReal = 31, kCount = 32, kFlag = 33 };
enum : int { kAttrS = 1, kAttrD = 2, kAttrN = 3, kAttrB = 4 };

const SchemaEntry kTestSchema[] = {
    {kSchemaStart, nullptr, 0},
    {kComplexElement, L"root", kRoot},
    {kExpectedChild, nullptr, kChild},
    {kStringAttribute, L"s", kAttrS},
    {kDoubleAttribute, L"d", kAttrD},
    {kLongAttribute, L"n", kAttrN},
    {kBoolAttribute, L"b", kAttrB},
    {kEndMembers, nullptr, 0},
    {kComplexElement, L"child", kChild},
    {kLongAttribute, L"n", kAttrN},
    {kEndMembers, nullptr, 0},
    {kComplexElement, L"leaf", kLeaf},
    {kEndMembers, nullptr, 0},
    {kStringElement, L"text", kText},
    {kDoubleElement, L"real", kReal},
    {kLongElement, L"count", kCount},
    {kBoolElement, L"flag", kFlag},
    {kSchemaEnd, nullptr, 0},
};

class SaxSchemaParserTest : public testing::Test {
protected:
    SaxSchemaParserTest() : parser(kTestSchema, log), root(log, L"root"), child(log, L"child"), leaf(log, L"leaf") {
        parser.document.children[kRoot] = &root;
        root.children[kChild] = &child;
        child.children[kChild] = &child;
        child.children[kLeaf] = &leaf;
    }
    void SetUp() override { SetErrorInfo(0, nullptr); }

    CallLog log;
    RecordingParser parser;
    RecordingHandler root, child, leaf;
};

// The value of one attribute of the first QRError element of a document.
std::wstring FirstElementAttribute(const std::wstring& document, const std::wstring& name) {
    std::wstring first = document.substr(0, document.find(L"\r\n"));
    size_t at = first.find(L" " + name + L"=\"");
    if (at == std::wstring::npos) return L"<none>";
    at += name.size() + 3;
    return first.substr(at, first.find(L'"', at) - at);
}

} // namespace

TEST_F(SaxSchemaParserTest, ReportsDeclaredElementsAttributesAndValuesInDocumentOrder) {
    ASSERT_EQ(S_OK, parser.Parse(L"<root s='a&amp;b' n='12abc' d='1.5' b='Yes' other='x'>"
                                 L"<child n='-7'/><text>hello</text><count>42</count>"
                                 L"<real>2.5</real><flag>off</flag></root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.OnAttribute(1, string \"a&b\")",
        L"root.OnAttribute(3, long 12)",
        L"root.OnAttribute(2, double 1.5)",
        L"root.OnAttribute(4, bool true)",
        L"root.GetChildHandler(20)",
        L"child.OnStart(20)",
        L"child.OnAttribute(3, long -7)",
        L"child.OnEnd(20)",
        L"root.OnChildEnd(20, child)",
        L"root.OnElementValue(30, string \"hello\")",
        L"root.OnElementValue(32, long 42)",
        L"root.OnElementValue(31, double 2.5)",
        L"root.OnElementValue(33, bool false)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
    EXPECT_FALSE(parser.IsAborted());
}

TEST_F(SaxSchemaParserTest, ConvertsAttributeTextsByDeclaredType) {
    struct Case {
        const wchar_t* attributes;
        const wchar_t* expected;
    } cases[] = {
        {L"n='12abc'", L"root.OnAttribute(3, long 12)"},
        {L"n=''", L"root.OnAttribute(3, long 0 invalid)"},
        {L"n='abc'", L"root.OnAttribute(3, long 0)"},
        {L"n=' -15'", L"root.OnAttribute(3, long -15)"},
        {L"n='99999999999'", L"root.OnAttribute(3, long 2147483647)"},
        {L"b='Yes'", L"root.OnAttribute(4, bool true)"},
        {L"b='T'", L"root.OnAttribute(4, bool true)"},
        {L"b='f'", L"root.OnAttribute(4, bool false)"},
        {L"b='ON'", L"root.OnAttribute(4, bool true)"},
        {L"b='0'", L"root.OnAttribute(4, bool false)"},
        {L"b='maybe'", L"root.OnAttribute(4, bool false invalid)"},
        {L"b=''", L"root.OnAttribute(4, bool false invalid)"},
        {L"d='1.5'", L"root.OnAttribute(2, double 1.5)"},
        {L"d='-2.5e3xyz'", L"root.OnAttribute(2, double -2500)"},
        {L"d='1,5'", L"root.OnAttribute(2, double 1)"},
        {L"d=''", L"root.OnAttribute(2, double nan invalid)"},
        {L"d='abc'", L"root.OnAttribute(2, double nan invalid)"},
        {L"s=''", L"root.OnAttribute(1, string \"\")"},
    };
    for (const Case& c : cases) {
        log.clear();
        ASSERT_EQ(S_OK, parser.Parse(std::wstring(L"<root ") + c.attributes + L"/>")) << c.attributes;
        ASSERT_EQ(5u, log.size()) << c.attributes;
        EXPECT_EQ(c.expected, log[2]) << c.attributes;
    }
}

TEST_F(SaxSchemaParserTest, DoublesReadTheSameUnderADecimalCommaLocale) {
    WithGermanLocale([&] {
        // The C runtime does follow the locale here, so the parser must not rely on it.
        wchar_t runtime[16];
        swprintf(runtime, 16, L"%.1f", 1.5);
        ASSERT_STREQ(L"1,5", runtime);
        ASSERT_EQ(S_OK, parser.Parse(L"<root d='1.5'><real>0.25</real></root><!-- -->"));
        ASSERT_EQ(S_OK, parser.Parse(L"<root d='1,5'/>"));
    });
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)", L"root.OnStart(10)", L"root.OnAttribute(2, double 1.5)",
        L"root.OnElementValue(31, double 0.25)", L"root.OnEnd(10)", L"doc.OnChildEnd(10, root)",
        L"doc.GetChildHandler(10)", L"root.OnStart(10)", L"root.OnAttribute(2, double 1)",
        L"root.OnEnd(10)", L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, UndeclaredSubtreesProduceNoCallbacks) {
    ASSERT_EQ(S_OK, parser.Parse(L"<root><unknown n='1'><child n='2'><text>x</text></child>chars</unknown>"
                                 L"<child n='3' z='4'/></root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.GetChildHandler(20)",
        L"child.OnStart(20)",
        L"child.OnAttribute(3, long 3)",
        L"child.OnEnd(20)",
        L"root.OnChildEnd(20, child)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, UndeclaredRootIsSkippedWhole) {
    ASSERT_EQ(S_OK, parser.Parse(L"<other><root s='x'/></other>"));
    EXPECT_TRUE(log.empty());
}

TEST_F(SaxSchemaParserTest, SubtreeWithoutHandlerIsWalkedSilently) {
    root.children.erase(kChild);
    ASSERT_EQ(S_OK, parser.Parse(L"<root><child n='1'><child n='2'><leaf/></child><text>t</text></child>"
                                 L"<count>5</count></root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.GetChildHandler(20)",
        L"root.OnChildEnd(20, null)",
        L"root.OnElementValue(32, long 5)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, DeclaredElementIsProcessedWhereverItStands) {
    ASSERT_EQ(S_OK, parser.Parse(L"<root><child n='1'><child n='2'/></child></root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.GetChildHandler(20)",
        L"child.OnStart(20)",
        L"child.OnAttribute(3, long 1)",
        L"child.GetChildHandler(20)",
        L"child.OnStart(20)",
        L"child.OnAttribute(3, long 2)",
        L"child.OnEnd(20)",
        L"child.OnChildEnd(20, child)",
        L"child.OnEnd(20)",
        L"root.OnChildEnd(20, child)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, SplitCharacterDataReachesASimpleElementAsOneValue) {
    // The reader delivers entity references as pieces of their own...
    ASSERT_EQ(S_OK, parser.Parse(L"<root>one &amp; two</root>"));
    const wchar_t* pieces[] = {L"doc.GetChildHandler(10)", L"root.OnStart(10)", L"root.OnCharacters(\"one \")",
                               L"root.OnCharacters(\"&\")", L"root.OnCharacters(\" two\")", L"root.OnEnd(10)",
                               L"doc.OnChildEnd(10, root)"};
    EXPECT_THAT(log, ElementsAreArray(pieces));
    log.clear();
    // ...which a simple element puts together.
    ASSERT_EQ(S_OK, parser.Parse(L"<root><text>one &amp; two\r\nthree &lt;4&gt;</text>"
                                 L"<count>1&#50;3</count></root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.OnElementValue(30, string \"one & two\nthree <4>\")",
        L"root.OnElementValue(32, long 123)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, CharactersOfComplexElementsGoToTheirHandler) {
    ASSERT_EQ(S_OK, parser.Parse(L"<root>a<child>b</child>c</root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)", L"root.OnStart(10)",     L"root.OnCharacters(\"a\")",
        L"root.GetChildHandler(20)", L"child.OnStart(20)",   L"child.OnCharacters(\"b\")",
        L"child.OnEnd(20)",          L"root.OnChildEnd(20, child)", L"root.OnCharacters(\"c\")",
        L"root.OnEnd(10)",           L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, EmptySimpleElementsGiveInvalidValues) {
    ASSERT_EQ(S_OK, parser.Parse(L"<root><text/><count/><real></real><flag/></root>"));
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.OnElementValue(30, string \"\")",
        L"root.OnElementValue(32, long 0 invalid)",
        L"root.OnElementValue(31, double nan invalid)",
        L"root.OnElementValue(33, bool false invalid)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
}

TEST_F(SaxSchemaParserTest, AbortClosesOpenElementsInnermostFirstAndSucceeds) {
    // The third element's OnStart stops the parse.
    leaf.results[L"leaf.OnStart(25)"] = QRSAX_E_ABORT;
    SetErrorInfo(0, nullptr);
    ASSERT_EQ(S_OK, parser.Parse(L"<root><child n='1'><leaf/><text>never</text></child><child n='9'/></root>"));
    EXPECT_TRUE(parser.IsAborted());
    const wchar_t* expected[] = {
        L"doc.GetChildHandler(10)",
        L"root.OnStart(10)",
        L"root.GetChildHandler(20)",
        L"child.OnStart(20)",
        L"child.OnAttribute(3, long 1)",
        L"child.GetChildHandler(25)",
        L"leaf.OnStart(25)",
        L"leaf.OnEnd(25)",
        L"child.OnChildEnd(25, leaf)",
        L"child.OnEnd(20)",
        L"root.OnChildEnd(20, child)",
        L"root.OnEnd(10)",
        L"doc.OnChildEnd(10, root)",
        L"doc.OnEnd(0)",
    };
    EXPECT_THAT(log, ElementsAreArray(expected));
    EXPECT_FALSE(TakeThreadError().present);

    // The next parse starts afresh.
    log.clear();
    leaf.results.clear();
    ASSERT_EQ(S_OK, parser.Parse(L"<root/>"));
    EXPECT_FALSE(parser.IsAborted());
    EXPECT_EQ(4u, log.size());
}

TEST_F(SaxSchemaParserTest, AbortFromAttributeEndAndCharacters) {
    struct Case {
        const wchar_t* line;
        const wchar_t* document;
        size_t callsBeforeClosing;
    } cases[] = {
        {L"root.OnAttribute(3, long 2)", L"<root n='2' s='x'><text>t</text></root>", 3},
        // The aborting child's end still reaches its parent.
        {L"child.OnEnd(20)", L"<root><child/><child/></root>", 6},
        {L"root.OnCharacters(\"abc\")", L"<root>abc<child/></root>", 3},
    };
    for (const Case& c : cases) {
        log.clear();
        root.results.clear();
        child.results.clear();
        (c.line[0] == L'r' ? root : child).results[c.line] = QRSAX_E_ABORT;
        ASSERT_EQ(S_OK, parser.Parse(c.document)) << c.document;
        EXPECT_TRUE(parser.IsAborted()) << c.document;
        ASSERT_GE(log.size(), c.callsBeforeClosing + 3) << c.document;
        EXPECT_EQ(c.line, log[c.callsBeforeClosing - (c.line[0] == L'c' ? 2 : 1)]);
        EXPECT_EQ(c.callsBeforeClosing + 3, log.size()) << c.document;
        // Whatever was still open is closed, the document level last.
        const wchar_t* closing[] = {L"root.OnEnd(10)", L"doc.OnChildEnd(10, root)", L"doc.OnEnd(0)"};
        EXPECT_THAT(std::vector<std::wstring>(log.end() - 3, log.end()), ElementsAreArray(closing)) << c.document;
        EXPECT_FALSE(TakeThreadError().present);
    }
}

TEST_F(SaxSchemaParserTest, HandlerFailureComesBackWithItsElementAndPosition) {
    child.results[L"child.OnAttribute(3, long 2)"] = E_INVALIDARG;
    HRESULT hr = parser.Parse(L"<root>\n<child n='1'/>\n<child n='2'/>\n<text>x</text></root>");
    EXPECT_EQ(E_INVALIDARG, hr);
    EXPECT_FALSE(parser.IsAborted());
    ThreadError error = TakeThreadError();
    ASSERT_TRUE(error.present);
    EXPECT_EQ(L"SAXSchemaParser::startElement()", error.source);
    EXPECT_EQ(HResultMessage(E_INVALIDARG), FirstElementAttribute(error.description, L"Desc"));
    EXPECT_EQ(L"E_INVALIDARG", FirstElementAttribute(error.description, L"HR"));
    std::wstring activity = FirstElementAttribute(error.description, L"Activity");
    EXPECT_TRUE(std::regex_match(activity, std::wregex(L"Parsing element child\\(Ln \\d+, Col \\d+\\)"))) << activity;
    // Nothing after the failing element is reported.
    EXPECT_EQ(L"child.OnAttribute(3, long 2)", log.back());
}

TEST_F(SaxSchemaParserTest, HandlerErrorDocumentIsCarriedOutOfTheReader) {
    struct FailingHandler : DefaultSAXSchemaElementHandler {
        HRESULT OnEnd(int) override {
            QRComException xhr;
            xhr.Enter(L"FailingHandler::OnEnd", 0);
            try {
                xhr.Throw(QR_HERE, E_ACCESSDENIED, L"The task \"%ls\" is locked", L"T1");
            }
            QR_CATCH(xhr)
            return xhr.Result();
        }
    } failing;
    root.children[kChild] = &failing;
    EXPECT_EQ(E_ACCESSDENIED, parser.Parse(L"<root><child/></root>"));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"SAXSchemaParser::endElement()", error.source);
    std::wstring desc = error.description;
    size_t split = desc.find(L"\r\n");
    ASSERT_NE(std::wstring::npos, split) << desc;
    EXPECT_TRUE(std::regex_match(desc.substr(0, split),
                                 std::wregex(L"<QRError Desc=\"The task 'T1' is locked\" "
                                             L"Activity=\"Parsing element child\\(Ln \\d+, Col \\d+\\)\" "
                                             L"HR=\"E_ACCESSDENIED\" />")))
        << desc;
    EXPECT_EQ(L"<QRError Desc=\"The task 'T1' is locked\" HR=\"E_ACCESSDENIED\" />", desc.substr(split + 2));
}

TEST_F(SaxSchemaParserTest, MalformedDocumentsFailWithTheReadersFatalError) {
    const wchar_t* documents[] = {
        L"<root><child></root>",
        L"<root",
        L"<root a='1' a='2'/>",
        L"<root>&undefined;</root>",
        L"<root/><root/>",
        L"plain text",
        L"<root>\x0001</root>",
        L"<root>\xFFFE</root>",
    };
    for (const wchar_t* document : documents) {
        SetErrorInfo(0, nullptr);
        HRESULT hr = parser.Parse(document);
        EXPECT_EQ(E_FAIL, hr) << document;
        ThreadError error = TakeThreadError();
        ASSERT_TRUE(error.present) << document;
        EXPECT_THAT(FirstElementAttribute(error.description, L"Desc"), StartsWith(L"MSXML Fatal error: ")) << document;
        EXPECT_EQ(L"E_FAIL", FirstElementAttribute(error.description, L"HR")) << document;
        std::wstring activity = FirstElementAttribute(error.description, L"Activity");
        EXPECT_TRUE(std::regex_match(activity, std::wregex(L"Parsing XML \\(Ln \\d+, Col \\d+\\)"))) << activity;
    }
}

TEST_F(SaxSchemaParserTest, EmptyAndNullTextsFail) {
    EXPECT_TRUE(FAILED(parser.Parse(L"")));
    EXPECT_TRUE(TakeThreadError().present);
    EXPECT_TRUE(FAILED(parser.ParseString(nullptr)));
    EXPECT_TRUE(TakeThreadError().present);
    EXPECT_TRUE(log.empty());
}

TEST_F(SaxSchemaParserTest, OptionsForCaseAndUndeclaredNames) {
    parser.SetIgnoreCase(true);
    ASSERT_EQ(S_OK, parser.Parse(L"<ROOT N='4'/>"));
    const wchar_t* expected[] = {L"doc.GetChildHandler(10)", L"root.OnStart(10)", L"root.OnAttribute(3, long 4)",
                                 L"root.OnEnd(10)", L"doc.OnChildEnd(10, root)"};
    EXPECT_THAT(log, ElementsAreArray(expected));

    parser.SetIgnoreCase(false);
    parser.SetSkipUndeclared(false);
    EXPECT_EQ(E_INVALIDARG, parser.Parse(L"<root zz='1'/>"));
    EXPECT_THAT(TakeThreadError().description, HasSubstr(L"The attribute zz is not declared"));
    EXPECT_EQ(E_INVALIDARG, parser.Parse(L"<root><zz/></root>"));
    EXPECT_THAT(TakeThreadError().description, HasSubstr(L"The element zz is not declared"));
}
