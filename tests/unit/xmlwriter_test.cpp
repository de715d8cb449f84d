// The string writer and the VARIANT conversions.
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

std::wstring Text(iqrXMLStringWriter* writer) {
    winkit::UniqueBstr text;
    EXPECT_EQ(S_OK, writer->GetString(text.put()));
    return text.str();
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
    winkit::UniqueVariant text = winkit::UniqueVariant::String(L"a\"b"), number = Typed(VT_I2, -12);
    VARIANT byRef;
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = number.get();
    struct Case { bool formatted; Writes writes; const wchar_t* expected; } cases[] = {
        {true, WRITES(w.StartElement(L"a"), w.StartElement(L"b"), w.StartElement(L"c"), w.WriteText(L"t"),
                      w.EndElement(L"c"), w.EndElement(L"b"), w.StartElement(L"d"), w.EndElement(L"d"),
                      w.EndElement(L"a")),
         L"\n<a>\n  <b>\n    <c>t</c>\n  </b>\n  <d/>\n</a>"},
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
        // Numbers are written alike under every locale; doubles with up to 16 significant digits.
        {false, WRITES(w.WriteElementDouble(L"d", 0.1), w.WriteElementDouble(L"d", 1.0 / 3),
                       w.WriteElementDouble(L"d", 1e20), w.WriteElementDouble(L"d", 1234567.25), w.StartElement(L"a"),
                       w.WriteAttributeDouble(L"v", -1234.5), w.WriteAttributeLong(L"n", -123), w.EndElement(L"a")),
         L"<d>0.1</d><d>0.3333333333333333</d><d>1e+20</d><d>1234567.25</d><a v=\"-1234.5\" n=\"-123\"/>"},
        // A VARIANT is written in the form of its type; empty and null as nothing.
        {false, WRITES(w.StartElement(L"v"), w.WriteAttribute(L"e", *Typed(VT_EMPTY).get()),
                       w.WriteAttribute(L"u", *Typed(VT_UI4, 40000).get()),
                       w.WriteAttribute(L"r", *Typed(VT_R4, 0.5).get()),
                       w.WriteAttribute(L"d", *Typed(VT_DATE, 45000.25).get()), w.WriteAttribute(L"s", *text.get()),
                       w.WriteAttribute(L"ref", byRef), w.WriteElement(L"x", *Typed(VT_NULL).get()),
                       w.WriteElement(L"b", *winkit::UniqueVariant::Bool(true).get()), w.EndElement(L"v")),
         L"<v e=\"\" u=\"40000\" r=\"0.5\" d=\"45000.25\" s=\"a&quot;b\" ref=\"-12\"><x/><b>1</b></v>"},
    };
    auto check = [&] {
        for (const Case& c : cases) EXPECT_EQ(c.expected, Text(Written(c.formatted, c.writes).get()));
    };
    check();
    WithGermanLocale(check);
}

// A failed write leaves its document and the text written before it.
TEST(XmlWriter, FailuresComeBackWithTheirDocuments) {
    ClearThreadError();
    const Writes none = WRITES(), started = WRITES(w.StartElement(L"a"));
    const Writes inText = WRITES(w.StartElement(L"a"), w.WriteText(L"t"));
    winkit::UniqueVariant unknown = winkit::UniqueVariant::Long(1);
    V_VT(unknown.get()) = VT_I8;
    VARIANT nullReference;
    V_VT(&nullReference) = VT_I2 | VT_BYREF;
    V_BYREF(&nullReference) = nullptr;
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

// Text over many chunks, with a piece longer than one, comes back whole.
TEST(XmlWriter, TextBeyondOneChunk) {
    std::wstring expected;
    auto writer = Written(false, [&](iqrXMLStringWriter& w) {
        Results results;
        for (int i = 0; i <= 3000; ++i) {
            std::wstring piece = i < 3000 ? L"<p>" + std::to_wstring(i) + L"</p>" : std::wstring(5000, L'z');
            results.push_back(w.WriteRaw(piece.c_str(), static_cast<ULONG>(piece.size())));
            expected += piece;
        }
        return results;
    });
    EXPECT_EQ(expected, Text(writer.get()));
}

// The writer's stream view writes into the same text, whole wide characters only.
TEST(XmlWriter, StreamViewTakesWholeWideCharacters) {
    ClearThreadError();
    auto writer = Written(true, WRITES());
    winkit::ComPtr<ISequentialStream> stream;
    ASSERT_EQ(S_OK, writer->QueryInterface(IID_ISequentialStream, stream.put_void()));
    ULONG written = 99, read = 99;
    EXPECT_EQ(E_FAIL, stream->Write(L"ab", 3, &written));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"QRXMLStringWriter::Write <QRError Desc=\"Cannot write a UTF-16 stream that is not a whole number of "
              L"wide characters\" HR=\"E_FAIL\" /> 0",
              error.source + L" " + error.description + L" " + std::to_wstring(written));
    char buffer[8];
    const Results results = {stream->Write(L"ab", 4, &written), stream->Write(L"c", 2, nullptr),
                             stream->Read(buffer, 8, &read)};
    EXPECT_EQ((Results{S_OK, S_OK, STG_E_ACCESSDENIED}), results);
    EXPECT_EQ(L"4 0 abc", std::to_wstring(written) + L" " + std::to_wstring(read) + L" " + Text(writer.get()));
    EXPECT_EQ(L"<QRError Desc=\"Stream does not support Read operations\" HR=\"0x80030005\" />",
              TakeThreadError().description);
}

// Each conversion with and without conversion allowed: its HRESULT and the value after it,
// which a failure leaves as it was (-1 below).
TEST(VariantConversion, ResultsAndValues) {
    using winkit::UniqueVariant;
    const struct { wchar_t to; UniqueVariant from; bool allow; const wchar_t* expected; } cases[] = {
        {L'b', UniqueVariant::String(L"1"), false, L"0x80020005 false"},
        {L'l', UniqueVariant::Bool(true), false, L"0x80020005 -1"}, {L'b', UniqueVariant::Bool(true), false, L"0x0 true"},
        {L'b', UniqueVariant::String(L"YES"), true, L"0x0 true"}, {L'b', UniqueVariant::String(L"t"), true, L"E_FAIL false"},
        {L'd', UniqueVariant::String(L"abc"), true, L"0x80020005 -1"},
        {L'd', UniqueVariant::String(L"2.75"), true, L"0x0 2.75"}, {L'l', UniqueVariant::Double(41.6), true, L"0x0 42"},
    };
    auto check = [&] {
        for (const auto& c : cases) {
            bool flag = false;
            long number = -1;
            double value = -1;
            wchar_t digits[kXmlNumberBufferSize];
            HRESULT hr = c.to == L'b'   ? VariantToBool(*c.from.get(), &flag, c.allow)
                         : c.to == L'l' ? VariantToLong(*c.from.get(), &number, c.allow)
                                        : VariantToDouble(*c.from.get(), &value, c.allow);
            std::wstring result = c.to == L'b'   ? (flag ? L"true" : L"false")
                                  : c.to == L'l' ? std::to_wstring(number)
                                                 : std::wstring(digits, FormatXmlDouble(value, digits));
            EXPECT_EQ(c.expected, HResultName(hr) + L" " + result);
        }
    };
    check();
    WithGermanLocale(check);

    BSTR copy = nullptr;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, VariantToString(*UniqueVariant::Bool(true).get(), &copy));
    UniqueVariant withNul = UniqueVariant::String(std::wstring_view(L"a\0b", 3));
    EXPECT_EQ(S_OK, VariantToString(*withNul.get(), &copy));
    winkit::UniqueBstr owned(copy);
    EXPECT_EQ(std::wstring(L"a\0b", 3), owned.str());
    EXPECT_NE(V_BSTR(withNul.get()), copy);
    EXPECT_EQ(L"a&#00;b", EscapeXml(std::wstring_view(L"a\0b", 3)));
}
