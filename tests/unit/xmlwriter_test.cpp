// The string writer: exact output with line feeds and indentation, escaping, CDATA
// splitting, numbers under any locale, failures with their documents, the chunked
// store and the stream view; and the VARIANT conversions beside it.
#include <gmock/gmock.h>
#include <cmath>
#include "chunkedtext.h"
#include "qrxmlutils.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"
#include "xml_test_support.h"

namespace {

class XmlWriterTest : public testing::Test {
protected:
    void SetUp() override {
        SetErrorInfo(0, nullptr);
        ASSERT_EQ(S_OK, CreateXMLStringWriter(writer.put()));
    }

    std::wstring Text() {
        winkit::UniqueBstr text;
        EXPECT_EQ(S_OK, writer->GetString(text.put()));
        std::wstring copied(writer->GetLength() + 1, L'?');
        EXPECT_EQ(S_OK, writer->CopyTo(copied.data()));
        EXPECT_EQ(L'\0', copied.back());
        copied.pop_back();
        EXPECT_EQ(text.str(), copied);
        return text.str();
    }

    winkit::ComPtr<iqrXMLStringWriter> writer;
};

std::wstring ErrorDescription() { return TakeThreadError().description; }

} // namespace

TEST_F(XmlWriterTest, ElementsAreIndentedTwoBlanksPerLevel) {
    struct Step {
        const wchar_t* operation;
        const wchar_t* argument;
    };
    struct Case {
        bool formatted;
        std::vector<Step> steps;
        const wchar_t* expected;
    } cases[] = {
        {true, {{L"start", L"a"}, {L"attr", L"1 < 2"}, {L"end", L"a"}}, L"\n<a x=\"1 &lt; 2\"/>"},
        {true, {{L"start", L"a"}, {L"start", L"b"}, {L"end", L"b"}, {L"end", L"a"}}, L"\n<a>\n  <b/>\n</a>"},
        {true, {{L"start", L"a"}, {L"text", L"x"}, {L"end", L"a"}}, L"\n<a>x</a>"},
        {true,
         {{L"start", L"a"}, {L"start", L"b"}, {L"start", L"c"}, {L"text", L"t"}, {L"end", L"c"}, {L"end", L"b"},
          {L"start", L"d"}, {L"end", L"d"}, {L"end", L"a"}},
         L"\n<a>\n  <b>\n    <c>t</c>\n  </b>\n  <d/>\n</a>"},
        {false,
         {{L"start", L"a"}, {L"start", L"b"}, {L"text", L"t"}, {L"end", L"b"}, {L"start", L"c"}, {L"end", L"c"},
          {L"end", L"a"}},
         L"<a><b>t</b><c/></a>"},
        {true, {{L"start", L"a"}, {L"close", nullptr}, {L"end", L"a"}}, L"\n<a></a>"},
        {true, {{L"start", L"a"}, {L"text", L""}, {L"end", L"a"}}, L"\n<a></a>"},
        {true, {{L"start", L"a"}, {L"text", L"x"}, {L"start", L"b"}, {L"end", L"b"}, {L"end", L"a"}},
         L"\n<a>x\n  <b/>\n</a>"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(S_OK, CreateXMLStringWriter(writer.put()));
        writer->SetFormatted(c.formatted);
        for (const Step& step : c.steps) {
            std::wstring op = step.operation;
            HRESULT hr = op == L"start"  ? writer->StartElement(step.argument)
                         : op == L"end"  ? writer->EndElement(step.argument)
                         : op == L"text" ? writer->WriteText(step.argument)
                         : op == L"attr" ? writer->WriteAttributeString(L"x", step.argument)
                                         : writer->CloseStartTag();
            ASSERT_EQ(S_OK, hr) << op;
        }
        EXPECT_EQ(c.expected, Text());
    }
}

TEST_F(XmlWriterTest, DeclarationHasNoEncodingAndNoLineFeed) {
    ASSERT_EQ(S_OK, writer->WriteDeclaration());
    ASSERT_EQ(S_OK, writer->StartElement(L"r"));
    ASSERT_EQ(S_OK, writer->EndElement(L"r"));
    EXPECT_EQ(L"<?xml version=\"1.0\"?>\n<r/>", Text());
}

TEST_F(XmlWriterTest, EscapesTextAndAttributeValues) {
    ASSERT_EQ(S_OK, writer->StartElement(L"a"));
    ASSERT_EQ(S_OK, writer->WriteAttributeString(L"v", L"\"q\" & 'a' <b>\r\n"));
    ASSERT_EQ(S_OK, writer->WriteAttributeString(L"n", nullptr));
    ASSERT_EQ(S_OK, writer->WriteText(L"line\nit's \"x\" & <y> \x00E9\t"));
    ASSERT_EQ(S_OK, writer->EndElement(L"a"));
    EXPECT_EQ(L"\n<a v=\"&quot;q&quot; &amp; &apos;a&apos; &lt;b&gt;&#13;&#10;\" n=\"\">"
              L"line&#10;it&apos;s &quot;x&quot; &amp; &lt;y&gt; \x00E9\t</a>",
              Text());
    EXPECT_EQ(L"&#00;", std::wstring(XmlEntityFor(L'\0')));
    EXPECT_EQ(L"a&#00;b", EscapeXml(std::wstring_view(L"a\0b", 3)));
}

TEST_F(XmlWriterTest, CDataSectionsAreSplitAroundTheirTerminator) {
    ASSERT_EQ(S_OK, writer->StartElement(L"c"));
    ASSERT_EQ(S_OK, writer->WriteCData(L"a]]>b"));
    ASSERT_EQ(S_OK, writer->WriteCData(L""));
    ASSERT_EQ(S_OK, writer->WriteCData(L"]]>]]><&"));
    ASSERT_EQ(S_OK, writer->EndElement(L"c"));
    EXPECT_EQ(L"\n<c><![CDATA[a]]><![CDATA[]]]]><![CDATA[>b]]>"
              L"<![CDATA[]]><![CDATA[]]]]><![CDATA[>]]><![CDATA[]]]]><![CDATA[><&]]></c>",
              Text());
}

TEST_F(XmlWriterTest, SimpleElementsWithTypedValues) {
    writer->SetFormatted(false);
    ASSERT_EQ(S_OK, writer->WriteElementBool(L"b", true));
    ASSERT_EQ(S_OK, writer->WriteElementBool(L"b", false));
    ASSERT_EQ(S_OK, writer->WriteElementLong(L"n", -5));
    ASSERT_EQ(S_OK, writer->WriteElementString(L"s", L"x&y"));
    ASSERT_EQ(S_OK, writer->WriteElementString(L"e", L""));
    EXPECT_EQ(L"<b>1</b><b>0</b><n>-5</n><s>x&amp;y</s><e/>", Text());
}

TEST_F(XmlWriterTest, SimpleElementsEndTheParentOnANewLine) {
    ASSERT_EQ(S_OK, writer->StartElement(L"p"));
    ASSERT_EQ(S_OK, writer->WriteAttributeLong(L"id", 7));
    ASSERT_EQ(S_OK, writer->WriteElementLong(L"n", 1));
    ASSERT_EQ(S_OK, writer->WriteElementDouble(L"d", 0.5));
    ASSERT_EQ(S_OK, writer->EndElement(L"p"));
    EXPECT_EQ(L"\n<p id=\"7\">\n  <n>1</n>\n  <d>0.5</d>\n</p>", Text());
}

TEST_F(XmlWriterTest, DoublesAreLocaleIndependent) {
    auto write = [&] {
        ASSERT_EQ(S_OK, CreateXMLStringWriter(writer.put()));
        writer->SetFormatted(false);
        for (double value : {0.1, 1.0, 1.0 / 3, 1e20, -2.5, 1234567.25, 0.0})
            ASSERT_EQ(S_OK, writer->WriteElementDouble(L"d", value));
        ASSERT_EQ(S_OK, writer->StartElement(L"a"));
        ASSERT_EQ(S_OK, writer->WriteAttributeDouble(L"v", 1234.5));
        ASSERT_EQ(S_OK, writer->EndElement(L"a"));
    };
    const wchar_t* expected = L"<d>0.1</d><d>1</d><d>0.3333333333333333</d><d>1e+20</d><d>-2.5</d>"
                              L"<d>1234567.25</d><d>0</d><a v=\"1234.5\"/>";
    write();
    EXPECT_EQ(expected, Text());
    WithGermanLocale([&] {
        wchar_t runtime[16];
        swprintf(runtime, 16, L"%.1f", 1234.5);
        ASSERT_STREQ(L"1234,5", runtime);  // the locale is really in force
        write();
        EXPECT_EQ(expected, Text());
    });
}

TEST_F(XmlWriterTest, FailuresComeBackWithTheirMessages) {
    EXPECT_EQ(E_FAIL, writer->EndElement(L"a"));
    EXPECT_EQ(L"<QRError Desc=\"Cannot close more XML elements than are currently open\" HR=\"E_FAIL\" />",
              ErrorDescription());

    EXPECT_EQ(E_FAIL, writer->WriteAttributeString(L"x", L"1"));
    EXPECT_EQ(L"<QRError Desc=\"Cannot write attributes outside of an element start\" HR=\"E_FAIL\" />",
              ErrorDescription());

    ASSERT_EQ(S_OK, writer->StartElement(L"a"));
    EXPECT_EQ(E_FAIL, writer->WriteAttributeString(nullptr, L"1"));
    EXPECT_EQ(L"<QRError Desc=\"An XML Attribute must have a name and a value\" HR=\"E_FAIL\" />",
              ErrorDescription());

    ASSERT_EQ(S_OK, writer->WriteText(L"t"));
    EXPECT_EQ(E_FAIL, writer->WriteAttributeLong(L"x", 1));
    TakeThreadError();
    EXPECT_EQ(E_FAIL, writer->WriteAttributeBool(L"x", true));
    EXPECT_EQ(L"<QRError Desc=\"Cannot write attributes outside of an element start\" HR=\"E_FAIL\" />",
              ErrorDescription());

    // Text written before a failure stays.
    EXPECT_EQ(L"\n<a>t", Text());
    EXPECT_EQ(E_INVALIDARG, writer->StartElement(L""));
    EXPECT_EQ(L"<QRError Desc=\"An XML element must have a name\" HR=\"E_INVALIDARG\" />", ErrorDescription());
    EXPECT_EQ(L"\n<a>t", Text());
}

TEST_F(XmlWriterTest, FailureNamesTheOperationAsSource) {
    EXPECT_EQ(E_FAIL, writer->EndElement(L"a"));
    EXPECT_EQ(L"QRXMLWriterImpl::EndElement", TakeThreadError().source);
}

TEST_F(XmlWriterTest, VariantValuesChooseTheirForm) {
    writer->SetFormatted(false);
    ASSERT_EQ(S_OK, writer->StartElement(L"v"));
    winkit::UniqueVariant empty, null, i2, ui4, r4, date, text, flag;
    V_VT(null.get()) = VT_NULL;
    V_VT(i2.get()) = VT_I2;
    V_I2(i2.get()) = -12;
    V_VT(ui4.get()) = VT_UI4;
    V_UI4(ui4.get()) = 40000u;
    V_VT(r4.get()) = VT_R4;
    V_R4(r4.get()) = 0.5f;
    V_VT(date.get()) = VT_DATE;
    V_DATE(date.get()) = 45000.25;
    text = winkit::UniqueVariant::String(L"a\"b");
    flag = winkit::UniqueVariant::Bool(true);
    VARIANT byRef;
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = i2.get();
    LONG number = 77;
    VARIANT longRef;
    V_VT(&longRef) = VT_BYREF | VT_I4;
    V_I4REF(&longRef) = &number;

    EXPECT_EQ(S_OK, writer->WriteAttribute(L"e", *empty.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"n", *null.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"i", *i2.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"u", *ui4.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"r", *r4.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"d", *date.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"s", *text.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"b", *flag.get()));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"ref", byRef));
    EXPECT_EQ(S_OK, writer->WriteAttribute(L"lref", longRef));
    EXPECT_EQ(S_OK, writer->WriteElement(L"x", *empty.get()));
    EXPECT_EQ(S_OK, writer->WriteElement(L"y", *text.get()));
    EXPECT_EQ(S_OK, writer->WriteElement(L"z", *r4.get()));
    EXPECT_EQ(S_OK, writer->EndElement(L"v"));
    EXPECT_EQ(L"<v e=\"\" n=\"\" i=\"-12\" u=\"40000\" r=\"0.5\" d=\"45000.25\" s=\"a&quot;b\" b=\"1\" ref=\"-12\" lref=\"77\">"
              L"<x/><y>a&quot;b</y><z>0.5</z></v>",
              Text());

    winkit::UniqueVariant unknown;
    V_VT(unknown.get()) = VT_I8;
    ASSERT_EQ(S_OK, writer->StartElement(L"w"));
    EXPECT_EQ(E_FAIL, writer->WriteAttribute(L"q", *unknown.get()));
    EXPECT_EQ(L"<QRError Desc=\"Could not convert attribute value to a string\" HR=\"E_FAIL\" />",
              ErrorDescription());
    EXPECT_EQ(E_FAIL, writer->WriteElement(L"q", *unknown.get()));
    EXPECT_EQ(L"<QRError Desc=\"Could not convert element value to a string\" HR=\"E_FAIL\" />",
              ErrorDescription());
    // The conversion's own failure is kept.
    VARIANT nullReference;
    V_VT(&nullReference) = VT_BYREF | VT_I2;
    V_I2REF(&nullReference) = nullptr;
    EXPECT_EQ(E_POINTER, writer->WriteAttribute(L"u", nullReference));
    EXPECT_THAT(ErrorDescription(), testing::StartsWith(L"<QRError Desc=\"Could not convert attribute value"));
}

TEST_F(XmlWriterTest, TextBeyondOneChunkComesBackUnchanged) {
    std::wstring expected;
    writer->SetFormatted(false);
    for (int i = 0; i < 3000; ++i) {
        std::wstring piece = L"<p>" + std::to_wstring(i) + L"</p>";
        ASSERT_EQ(S_OK, writer->WriteRaw(piece.c_str(), static_cast<ULONG>(piece.size())));
        expected += piece;
    }
    std::wstring big(5000, L'z');
    ASSERT_EQ(S_OK, writer->WriteRaw(big.c_str(), static_cast<ULONG>(big.size())));
    expected += big;
    EXPECT_EQ(expected.size(), writer->GetLength());
    EXPECT_EQ(expected, Text());

    // Clear starts again; the formatting state is kept.
    writer->SetFormatted(true);
    ASSERT_EQ(S_OK, writer->Clear());
    EXPECT_EQ(0u, writer->GetLength());
    EXPECT_EQ(L"", Text());
    ASSERT_EQ(S_OK, writer->StartElement(L"n"));
    ASSERT_EQ(S_OK, writer->EndElement(L"n"));
    EXPECT_EQ(L"\n<n/>", Text());
}

TEST(ChunkedTextTest, ChunksNeverMoveAndExactBoundaries) {
    ChunkedText text;
    std::wstring expected;
    // Lengths that end exactly on, just before and just after a chunk boundary.
    for (size_t length : {ChunkedText::kChunkSize - 1, size_t{1}, ChunkedText::kChunkSize, size_t{0},
                          ChunkedText::kChunkSize + 1, 3 * ChunkedText::kChunkSize}) {
        std::wstring piece(length, static_cast<wchar_t>(L'a' + expected.size() % 26));
        text.Append(piece.c_str(), piece.size());
        expected += piece;
        // Room for the text and its NUL is always there.
        EXPECT_GE(text.ChunkCount() * ChunkedText::kChunkSize, text.Length() + 1);
    }
    std::wstring copy(text.Length() + 1, L'?');
    text.CopyTo(copy.data());
    EXPECT_EQ(expected + L'\0', copy);
}

TEST_F(XmlWriterTest, StreamViewTakesWholeWideCharacters) {
    winkit::ComPtr<ISequentialStream> stream;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_ISequentialStream, stream.put_void()));
    ULONG written = 99;
    EXPECT_EQ(E_FAIL, stream->Write(L"ab", 3, &written));
    EXPECT_EQ(0u, written);
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QRXMLStringWriter::Write", error.source);
    EXPECT_EQ(L"<QRError Desc=\"Cannot write a UTF-16 stream that is not a whole number of wide characters\" "
              L"HR=\"E_FAIL\" />",
              error.description);
    EXPECT_EQ(S_OK, stream->Write(L"ab", 4, &written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ(S_OK, stream->Write(L"c", 2, nullptr));
    EXPECT_EQ(L"abc", Text());

    char buffer[8];
    ULONG read = 99;
    EXPECT_EQ(STG_E_ACCESSDENIED, stream->Read(buffer, 8, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(L"<QRError Desc=\"Stream does not support Read operations\" HR=\"0x80030005\" />", ErrorDescription());
}

TEST_F(XmlWriterTest, InterfacesShareOneReferenceCount) {
    winkit::ComPtr<iqrXMLWriter> plain;
    winkit::ComPtr<ISequentialStream> stream;
    winkit::ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_iqrXMLWriter, plain.put_void()));
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_ISequentialStream, stream.put_void()));
    ASSERT_EQ(S_OK, stream->QueryInterface(IID_IUnknown, unknown.put_void()));
    winkit::ComPtr<IUnknown> other;
    EXPECT_EQ(E_NOINTERFACE, writer->QueryInterface(IID_IStream, other.put_void()));
    EXPECT_EQ(nullptr, other.get());
    EXPECT_EQ(static_cast<void*>(plain.get()), static_cast<void*>(writer.get()));
    EXPECT_EQ(5u, writer->AddRef());
    EXPECT_EQ(4u, stream->Release());
    EXPECT_EQ(E_POINTER, CreateXMLStringWriter(nullptr));
}

// ---- VARIANT conversions ---------------------------------------------------------------

TEST(VariantConversionTest, WithoutConversionOnlyMatchingTypes) {
    winkit::UniqueVariant text = winkit::UniqueVariant::String(L"1");
    bool flag = false;
    long number = -1;
    double real = -1;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToBool(*text.get(), &flag, false));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToLong(*text.get(), &number, false));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToDouble(*text.get(), &real, false));
    EXPECT_FALSE(flag);
    EXPECT_EQ(-1, number);
    EXPECT_EQ(-1, real);

    winkit::UniqueVariant truth = winkit::UniqueVariant::Bool(true);
    EXPECT_EQ(S_OK, VariantToBool(*truth.get(), &flag, false));
    EXPECT_TRUE(flag);
    VARIANT_BOOL* nullFlag = nullptr;
    VARIANT flagRef;
    V_VT(&flagRef) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&flagRef) = nullFlag;
    EXPECT_EQ(S_OK, VariantToBool(flagRef, &flag, false));
    EXPECT_FALSE(flag);

    VARIANT realRef;
    V_VT(&realRef) = VT_R8 | VT_BYREF;
    V_R8REF(&realRef) = nullptr;
    EXPECT_EQ(S_OK, VariantToDouble(realRef, &real, false));
    EXPECT_EQ(0.0, real);

    winkit::UniqueVariant byte;
    V_VT(byte.get()) = VT_UI1;
    V_UI1(byte.get()) = 200;
    EXPECT_EQ(S_OK, VariantToLong(*byte.get(), &number, false));
    EXPECT_EQ(200, number);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToLong(*truth.get(), &number, false));

    BSTR copy = nullptr;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToString(*truth.get(), &copy));
    EXPECT_EQ(S_OK, VariantToString(*text.get(), &copy));
    EXPECT_STREQ(L"1", copy);
    EXPECT_NE(V_BSTR(text.get()), copy);
    SysFreeString(copy);
}

TEST(VariantConversionTest, WithConversionStringsAreReadLocaleIndependently) {
    auto check = [] {
        bool flag = false;
        double real = 0;
        long number = 0;
        EXPECT_EQ(S_OK, VariantToBool(*winkit::UniqueVariant::String(L"YES").get(), &flag, true));
        EXPECT_TRUE(flag);
        EXPECT_EQ(E_FAIL, VariantToBool(*winkit::UniqueVariant::String(L"t").get(), &flag, true));
        EXPECT_EQ(S_OK, VariantToDouble(*winkit::UniqueVariant::String(L"2.75").get(), &real, true));
        EXPECT_EQ(2.75, real);
        // A string ParseDouble does not read is a type mismatch, not a silent success.
        real = 9;
        EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToDouble(*winkit::UniqueVariant::String(L"abc").get(), &real, true));
        EXPECT_EQ(9, real);
        EXPECT_EQ(S_OK, VariantToLong(*winkit::UniqueVariant::Double(41.6).get(), &number, true));
        EXPECT_EQ(42, number);
        EXPECT_EQ(S_OK, VariantToDouble(*winkit::UniqueVariant::Long(3).get(), &real, true));
        EXPECT_EQ(3.0, real);
        EXPECT_EQ(S_OK, VariantToBool(*winkit::UniqueVariant::Long(2).get(), &flag, true));
        EXPECT_TRUE(flag);
        number = 5;
        EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToLong(*winkit::UniqueVariant::String(L"x").get(), &number, true));
        EXPECT_EQ(5, number);
    };
    check();
    WithGermanLocale(check);
}

TEST(XmlTextTest, ParseDoubleAndParseBool) {
    double value = 0;
    EXPECT_TRUE(ParseDouble(L"  -1.25e2 trailing", &value));
    EXPECT_EQ(-125.0, value);
    EXPECT_TRUE(ParseDouble(L"+.5", &value));
    EXPECT_EQ(0.5, value);
    EXPECT_TRUE(ParseDouble(L"1e999", &value));
    EXPECT_TRUE(std::isinf(value));
    EXPECT_TRUE(ParseDouble(L"1e-999", &value));
    EXPECT_EQ(0.0, value);
    EXPECT_FALSE(ParseDouble(L"", &value));
    EXPECT_TRUE(std::isnan(value));
    EXPECT_FALSE(ParseDouble(nullptr, &value));
    EXPECT_FALSE(ParseDouble(L"--1", &value));
    EXPECT_FALSE(ParseDouble(L"\x0661", &value));  // an Arabic-Indic digit is not a number here

    bool flag = true;
    for (const wchar_t* word : {L"0", L"FALSE", L"Off", L"no"}) {
        flag = true;
        EXPECT_EQ(S_OK, ParseBool(word, &flag)) << word;
        EXPECT_FALSE(flag) << word;
    }
    for (const wchar_t* word : std::initializer_list<const wchar_t*>{L"", L"2", L"yes ", L"t", nullptr}) {
        flag = true;
        EXPECT_EQ(E_FAIL, ParseBool(word, &flag));
        EXPECT_TRUE(flag);
    }
}
