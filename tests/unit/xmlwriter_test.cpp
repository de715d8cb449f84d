// The string writer: for each sequence of writes the exact text, with line feeds and
// indentation, escaping, CDATA splitting and numbers under any locale; failures with
// their documents; text over many chunks; the stream view; the VARIANT conversions.
#include <gtest/gtest.h>
#include <functional>
#include "diagnostics/hresulttext.h"
#include "qrxmlutils.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"
#include "xml_test_support.h"

namespace {

using Results = std::vector<HRESULT>;
using Writes = std::function<Results(iqrXMLStringWriter&)>;
// Calls on the writer `w`, in order (a braced list evaluates them in order), and their results.
#define WRITES(...) [&](iqrXMLStringWriter & w) { return Results{__VA_ARGS__}; }

// A new writer, formatted or not, after the writes, each of which must succeed.
winkit::ComPtr<iqrXMLStringWriter> Written(bool formatted, const Writes& writes) {
    winkit::ComPtr<iqrXMLStringWriter> writer;
    EXPECT_EQ(S_OK, CreateXMLStringWriter(writer.put()));
    writer->SetFormatted(formatted);
    Results results = writes(*writer.get());
    EXPECT_EQ(Results(results.size(), S_OK), results);
    return writer;
}

// The text, as GetString and CopyTo give it alike.
std::wstring Text(iqrXMLStringWriter* writer) {
    winkit::UniqueBstr text;
    EXPECT_EQ(S_OK, writer->GetString(text.put()));
    std::wstring copied(writer->GetLength() + 1, L'?');
    EXPECT_EQ(S_OK, writer->CopyTo(copied.data()));
    EXPECT_EQ(text.str() + L'\0', copied);
    return text.str();
}

VARIANT NullReference(VARTYPE type) {
    VARIANT reference;
    V_VT(&reference) = type | VT_BYREF;
    return V_BYREF(&reference) = nullptr, reference;
}

// A VARIANT of the type holding the value; VT_NULL and VT_EMPTY hold none.
winkit::UniqueVariant Typed(VARTYPE type, double value = 0) {
    winkit::UniqueVariant variant = winkit::UniqueVariant::Double(value);
    if (type == VT_NULL) V_VT(variant.get()) = VT_NULL;  // a double has nothing to free
    else EXPECT_EQ(S_OK, VariantChangeType(variant.get(), variant.get(), 0, type));
    return variant;
}

} // namespace

TEST(XmlWriter, WrittenTexts) {
    struct Case { bool formatted; Writes writes; const wchar_t* expected; } cases[] = {
        {true, WRITES(w.StartElement(L"a"), w.StartElement(L"b"), w.StartElement(L"c"), w.WriteText(L"t"),
                      w.EndElement(L"c"), w.EndElement(L"b"), w.StartElement(L"d"), w.EndElement(L"d"),
                      w.EndElement(L"a")),
         L"\n<a>\n  <b>\n    <c>t</c>\n  </b>\n  <d/>\n</a>"},
        {false, WRITES(w.StartElement(L"a"), w.StartElement(L"b"), w.WriteText(L"t"), w.EndElement(L"b"),
                       w.StartElement(L"c"), w.EndElement(L"c"), w.EndElement(L"a")), L"<a><b>t</b><c/></a>"},
        {true, WRITES(w.StartElement(L"a"), w.CloseStartTag(), w.EndElement(L"a"), w.StartElement(L"b"),
                      w.WriteText(L""), w.EndElement(L"b")), L"\n<a></a>\n<b></b>"},
        {true, WRITES(w.StartElement(L"a"), w.WriteText(L"x"), w.StartElement(L"b"), w.EndElement(L"b"),
                      w.EndElement(L"a")), L"\n<a>x\n  <b/>\n</a>"},
        // The declaration has no encoding and no line feed of its own.
        {true, WRITES(w.WriteDeclaration(), w.StartElement(L"r"), w.EndElement(L"r")),
         L"<?xml version=\"1.0\"?>\n<r/>"},
        // Text and attribute values are escaped alike.
        {true, WRITES(w.StartElement(L"a"), w.WriteAttributeString(L"v", L"\"q\" & 'a' <b>\r\n"),
                      w.WriteAttributeString(L"n", nullptr), w.WriteText(L"line\nit's \"x\" & <y> \x00E9\t"),
                      w.EndElement(L"a")),
         L"\n<a v=\"&quot;q&quot; &amp; &apos;a&apos; &lt;b&gt;&#13;&#10;\" n=\"\">"
         L"line&#10;it&apos;s &quot;x&quot; &amp; &lt;y&gt; \x00E9\t</a>"},
        // "]]>" inside a CDATA section is split between two sections.
        {true, WRITES(w.StartElement(L"c"), w.WriteCData(L"a]]>b"), w.WriteCData(L""), w.WriteCData(L"]]>]]><&"),
                      w.EndElement(L"c")),
         L"\n<c><![CDATA[a]]><![CDATA[]]]]><![CDATA[>b]]>"
         L"<![CDATA[]]><![CDATA[]]]]><![CDATA[>]]><![CDATA[]]]]><![CDATA[><&]]></c>"},
        {false, WRITES(w.WriteElementBool(L"b", true), w.WriteElementBool(L"b", false), w.WriteElementLong(L"n", -5),
                       w.WriteElementString(L"s", L"x&y"), w.WriteElementString(L"e", L"")),
         L"<b>1</b><b>0</b><n>-5</n><s>x&amp;y</s><e/>"},
        // Simple elements end their parent on a new line.
        {true, WRITES(w.StartElement(L"p"), w.WriteAttributeLong(L"id", 7), w.WriteAttributeBool(L"on", true),
                      w.WriteElementLong(L"n", 1), w.WriteElementDouble(L"d", 0.5), w.EndElement(L"p")),
         L"\n<p id=\"7\" on=\"1\">\n  <n>1</n>\n  <d>0.5</d>\n</p>"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Text(Written(c.formatted, c.writes).get()));
}

TEST(XmlWriter, NumbersAreLocaleIndependent) {
    const Writes writes = [](iqrXMLStringWriter& w) {
        Results results;
        for (double value : {0.1, 1.0, 1.0 / 3, 1e20, -2.5, 1234567.25, 0.0})
            results.push_back(w.WriteElementDouble(L"d", value));
        for (HRESULT hr : {w.StartElement(L"a"), w.WriteAttributeDouble(L"v", 1234.5), w.WriteAttributeLong(L"n", -123),
                           w.EndElement(L"a")})
            results.push_back(hr);
        return results;
    };
    const wchar_t* expected = L"<d>0.1</d><d>1</d><d>0.3333333333333333</d><d>1e+20</d><d>-2.5</d><d>1234567.25</d>"
                              L"<d>0</d><a v=\"1234.5\" n=\"-123\"/>";
    EXPECT_EQ(expected, Text(Written(false, writes).get()));
    WithGermanLocale([&] { EXPECT_EQ(expected, Text(Written(false, writes).get())); });
}

TEST(XmlWriter, VariantValuesChooseTheirForm) {
    winkit::UniqueVariant text = winkit::UniqueVariant::String(L"a\"b"), flag = winkit::UniqueVariant::Bool(true);
    winkit::UniqueVariant i2 = Typed(VT_I2, -12);
    VARIANT byRef, longRef;
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = i2.get();
    LONG number = 77;
    V_VT(&longRef) = VT_BYREF | VT_I4;
    V_I4REF(&longRef) = &number;
    auto writer = Written(false, WRITES(
        w.StartElement(L"v"), w.WriteAttribute(L"e", *Typed(VT_EMPTY).get()),
        w.WriteAttribute(L"n", *Typed(VT_NULL).get()), w.WriteAttribute(L"i", *i2.get()),
        w.WriteAttribute(L"u", *Typed(VT_UI4, 40000).get()),
        w.WriteAttribute(L"y", *Typed(VT_UI1, 200).get()), w.WriteAttribute(L"r", *Typed(VT_R4, 0.5).get()),
        w.WriteAttribute(L"d", *Typed(VT_DATE, 45000.25).get()), w.WriteAttribute(L"s", *text.get()),
        w.WriteAttribute(L"b", *flag.get()), w.WriteAttribute(L"ref", byRef), w.WriteAttribute(L"lref", longRef),
        w.WriteElement(L"x", *Typed(VT_NULL).get()), w.WriteElement(L"y", *text.get()),
        w.WriteElement(L"z", *Typed(VT_R4, 0.5).get()), w.WriteElement(L"w", *flag.get()),
        w.WriteElement(L"k", *i2.get()), w.EndElement(L"v")));
    EXPECT_EQ(L"<v e=\"\" n=\"\" i=\"-12\" u=\"40000\" y=\"200\" r=\"0.5\" d=\"45000.25\" s=\"a&quot;b\" b=\"1\" "
              L"ref=\"-12\" lref=\"77\"><x/><y>a&quot;b</y><z>0.5</z><w>1</w><k>-12</k></v>",
              Text(writer.get()));
}

// A failed write leaves its document and the text written before it.
TEST(XmlWriter, FailuresComeBackWithTheirDocuments) {
    ClearThreadError();
    const Writes none = WRITES(), started = WRITES(w.StartElement(L"a"));
    const Writes inText = WRITES(w.StartElement(L"a"), w.WriteText(L"t"));
    winkit::UniqueVariant unknown = winkit::UniqueVariant::Long(1);
    V_VT(unknown.get()) = VT_I8;
    VARIANT nullReference = NullReference(VT_I2);
    const std::wstring outside =
        L"<QRError Desc=\"Cannot write attributes outside of an element start\" HR=\"E_FAIL\" />";
    const std::wstring noName = L"<QRError Desc=\"An XML element must have a name\" HR=\"E_INVALIDARG\" />";
    const std::wstring noValue = L"<QRError Desc=\"Could not convert attribute value to a string\" HR=\"";
    struct Case { const Writes& before; Writes failing; HRESULT expected; std::wstring source, description;
                  const wchar_t* text; } cases[] = {
        {none, WRITES(w.EndElement(L"a")), E_FAIL, L"EndElement",
         L"<QRError Desc=\"Cannot close more XML elements than are currently open\" HR=\"E_FAIL\" />", L""},
        {none, WRITES(w.WriteAttributeString(L"x", L"1")), E_FAIL, L"WriteAttributeString", outside, L""},
        {started, WRITES(w.WriteAttributeString(nullptr, L"1")), E_FAIL, L"WriteAttributeString",
         L"<QRError Desc=\"An XML Attribute must have a name and a value\" HR=\"E_FAIL\" />", L"\n<a"},
        {inText, WRITES(w.WriteAttributeBool(L"x", true)), E_FAIL, L"WriteAttributeBool", outside, L"\n<a>t"},
        {inText, WRITES(w.StartElement(L"")), E_INVALIDARG, L"StartElement", noName, L"\n<a>t"},
        {started, WRITES(w.WriteAttribute(L"q", *unknown.get())), E_FAIL, L"WriteAttribute", noValue + L"E_FAIL\" />",
         L"\n<a"},
        {started, WRITES(w.WriteElement(L"q", *unknown.get())), E_FAIL, L"WriteElement",
         L"<QRError Desc=\"Could not convert element value to a string\" HR=\"E_FAIL\" />", L"\n<a"},
        // The conversion's own failure is kept.
        {started, WRITES(w.WriteAttribute(L"u", nullReference)), E_POINTER, L"WriteAttribute",
         noValue + L"E_POINTER\" />", L"\n<a"},
    };
    for (const Case& c : cases) {
        auto writer = Written(true, c.before);
        EXPECT_EQ(Results{c.expected}, c.failing(*writer.get())) << c.source;
        ThreadError error = TakeThreadError();
        EXPECT_EQ(L"QRXMLWriterImpl::" + c.source, error.source);
        EXPECT_EQ(c.description, error.description);
        EXPECT_EQ(c.text, Text(writer.get())) << c.source;
    }
}

TEST(XmlWriter, TextBeyondOneChunkAndClear) {
    std::wstring expected;
    auto writer = Written(false, [&](iqrXMLStringWriter& w) {
        Results results;
        for (int i = 0; i < 3001; ++i) {
            std::wstring piece = i < 3000 ? L"<p>" + std::to_wstring(i) + L"</p>" : std::wstring(5000, L'z');
            results.push_back(w.WriteRaw(piece.c_str(), static_cast<ULONG>(piece.size())));
            expected += piece;
        }
        return results;
    });
    EXPECT_EQ(expected.size(), writer->GetLength());
    EXPECT_EQ(expected, Text(writer.get()));
    // Clear starts again; the formatting is kept.
    writer->SetFormatted(true);
    ASSERT_EQ(S_OK, writer->Clear());
    EXPECT_EQ(L"", Text(writer.get()));
    EXPECT_EQ(Results(2, S_OK), (Results{writer->StartElement(L"n"), writer->EndElement(L"n")}));
    EXPECT_EQ(L"\n<n/>", Text(writer.get()));
}

TEST(XmlWriter, StreamViewTakesWholeWideCharactersAndSharesTheCount) {
    ClearThreadError();
    auto writer = Written(true, WRITES());
    winkit::ComPtr<ISequentialStream> stream;
    winkit::ComPtr<iqrXMLWriter> plain;
    winkit::ComPtr<IUnknown> unknown, other;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_ISequentialStream, stream.put_void()));
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_iqrXMLWriter, plain.put_void()));
    ASSERT_EQ(S_OK, stream->QueryInterface(IID_IUnknown, unknown.put_void()));
    EXPECT_EQ(E_NOINTERFACE, writer->QueryInterface(IID_IStream, other.put_void()));
    EXPECT_EQ(nullptr, other.get());
    EXPECT_EQ(5u, writer->AddRef());
    EXPECT_EQ(4u, stream->Release());
    EXPECT_EQ(E_POINTER, CreateXMLStringWriter(nullptr));

    ULONG written = 99, read = 99;
    EXPECT_EQ(E_FAIL, stream->Write(L"ab", 3, &written));
    EXPECT_EQ(0u, written);
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QRXMLStringWriter::Write <QRError Desc=\"Cannot write a UTF-16 stream that is not a whole number of "
              L"wide characters\" HR=\"E_FAIL\" />", error.source + L" " + error.description);
    EXPECT_EQ(S_OK, stream->Write(L"ab", 4, &written));
    EXPECT_EQ(4u, written);
    EXPECT_EQ(S_OK, stream->Write(L"c", 2, nullptr));
    EXPECT_EQ(L"abc", Text(writer.get()));
    char buffer[8];
    EXPECT_EQ(STG_E_ACCESSDENIED, stream->Read(buffer, 8, &read));
    EXPECT_EQ(0u, read);
    EXPECT_EQ(L"<QRError Desc=\"Stream does not support Read operations\" HR=\"0x80030005\" />",
              TakeThreadError().description);
}

// ---- VARIANT conversions ---------------------------------------------------------------

// Each conversion with and without conversion allowed: its HRESULT and the value after it,
// which a failure leaves as it was (-1 below).
TEST(VariantConversion, ResultsAndValues) {
    using winkit::UniqueVariant;
    UniqueVariant text = UniqueVariant::String(L"1"), truth = UniqueVariant::Bool(true),
                  yes = UniqueVariant::String(L"YES"), t = UniqueVariant::String(L"t"), two = UniqueVariant::Long(2),
                  abc = UniqueVariant::String(L"abc"), x = UniqueVariant::String(L"x"), three = UniqueVariant::Long(3),
                  decimal = UniqueVariant::String(L"2.75"), real = UniqueVariant::Double(41.6);
    const VARIANT nullBool = NullReference(VT_BOOL), nullReal = NullReference(VT_R8);
    const struct { wchar_t to; const VARIANT* from; bool allow; const wchar_t* expected; } cases[] = {
        {L'b', text.get(), false, L"0x80020005 false"}, {L'l', text.get(), false, L"0x80020005 -1"},
        {L'd', text.get(), false, L"0x80020005 -1"},    {L'l', truth.get(), false, L"0x80020005 -1"},
        {L'b', truth.get(), false, L"0x0 true"},        {L'b', &nullBool, false, L"0x0 false"},
        {L'd', &nullReal, false, L"0x0 0"},             {L'b', yes.get(), true, L"0x0 true"},
        {L'b', t.get(), true, L"E_FAIL false"},         {L'b', two.get(), true, L"0x0 true"},
        {L'd', abc.get(), true, L"0x80020005 -1"},      {L'l', x.get(), true, L"0x80020005 -1"},
        {L'd', decimal.get(), true, L"0x0 2.75"},       {L'l', real.get(), true, L"0x0 42"},
        {L'd', three.get(), true, L"0x0 3"},
    };
    auto check = [&] {
        for (const auto& c : cases) {
            bool flag = false;
            long number = -1;
            double value = -1;
            wchar_t digits[kXmlNumberBufferSize];
            HRESULT hr = c.to == L'b'   ? VariantToBool(*c.from, &flag, c.allow)
                         : c.to == L'l' ? VariantToLong(*c.from, &number, c.allow)
                                        : VariantToDouble(*c.from, &value, c.allow);
            std::wstring result = c.to == L'b'   ? (flag ? L"true" : L"false")
                                  : c.to == L'l' ? std::to_wstring(number)
                                                 : std::wstring(digits, FormatXmlDouble(value, digits));
            EXPECT_EQ(c.expected, HResultName(hr) + L" " + result);
        }
    };
    check();
    WithGermanLocale(check);

    BSTR copy = nullptr;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToString(*truth.get(), &copy));
    winkit::UniqueVariant withNul = winkit::UniqueVariant::String(std::wstring_view(L"a\0b", 3));
    EXPECT_EQ(S_OK, VariantToString(*withNul.get(), &copy));
    winkit::UniqueBstr owned(copy);
    EXPECT_EQ(std::wstring(L"a\0b", 3), owned.str());
    EXPECT_NE(V_BSTR(withNul.get()), copy);
    EXPECT_EQ(L"a&#00;b", EscapeXml(std::wstring_view(L"a\0b", 3)));
}
