// The schema parser driven by a scripted stand-in for the SAX reader: how it sets the
// reader up, errors the reader reports through error(), exact positions, nesting far
// deeper than any reader allows, and a reader that cannot be created.
#include <gmock/gmock.h>
#include "fake_sax_reader.h"
#include "objschema.h"
#include "taskitemcollection.h"
#include "xml_test_support.h"

using testing::ElementsAre;

namespace {

class SaxReaderSeamTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }

    static HRESULT Start(ISAXContentHandler* content, const wchar_t* name, ISAXAttributes* attributes) {
        int length = static_cast<int>(wcslen(name));
        return content->startElement(L"", 0, name, length, name, length, attributes);
    }
    static HRESULT End(ISAXContentHandler* content, const wchar_t* name) {
        int length = static_cast<int>(wcslen(name));
        return content->endElement(L"", 0, name, length, name, length);
    }

    FakeSaxReader reader;
};

} // namespace

TEST_F(SaxReaderSeamTest, ReaderIsToldNeverToResolveExternalEntitiesAndLetsGoAfterwards) {
    FakeReaderRegistration registration(&reader);
    reader.script = [&](ISAXContentHandler* content, ISAXErrorHandler* errors) {
        // One object behind both views, and nothing else.
        void* view = nullptr;
        EXPECT_EQ(S_OK, content->QueryInterface(IID_ISAXErrorHandler, &view));
        EXPECT_EQ(static_cast<void*>(errors), view);
        errors->Release();
        EXPECT_EQ(S_OK, errors->QueryInterface(IID_IUnknown, &view));
        EXPECT_EQ(static_cast<void*>(content), view);
        content->Release();
        EXPECT_EQ(E_NOINTERFACE, content->QueryInterface(IID_IDispatch, &view));
        EXPECT_EQ(nullptr, view);
        return S_OK;
    };
    TaskItemCollection tasks;
    ASSERT_EQ(S_OK, tasks.Load(Bstr(L"<TaskItemList/>").get()));
    EXPECT_THAT(reader.features,
                ElementsAre(L"http://xml.org/sax/features/external-general-entities=false",
                            L"http://xml.org/sax/features/external-parameter-entities=false",
                            L"prohibit-dtd=true"));
    EXPECT_EQ(L"<TaskItemList/>", reader.parsedText);
    EXPECT_EQ(nullptr, reader.content);
    EXPECT_EQ(nullptr, reader.errors);
    EXPECT_EQ(0, reader.refs);
}

TEST_F(SaxReaderSeamTest, ErrorCallbackGivesMsxmlErrorWithThePosition) {
    FakeReaderRegistration registration(&reader);
    FakeLocator locator(3, 17);
    reader.script = [&](ISAXContentHandler*, ISAXErrorHandler* errors) {
        errors->error(&locator, L"Something is wrong", E_FAIL);
        // Only the first failure counts.
        errors->fatalError(&locator, L"And then this", E_UNEXPECTED);
        return E_FAIL;
    };
    TaskItemCollection tasks;
    EXPECT_EQ(E_FAIL, tasks.Load(Bstr(L"<TaskItemList/>").get()));
    EXPECT_EQ(L"<QRError Desc=\"MSXML Error: Something is wrong\" Activity=\"Parsing XML (Ln 3, Col 17)\" "
              L"HR=\"E_FAIL\" />",
              TakeThreadError().description);
}

TEST_F(SaxReaderSeamTest, FatalErrorWithoutLocatorHasAnEmptyActivity) {
    FakeReaderRegistration registration(&reader);
    reader.script = [&](ISAXContentHandler*, ISAXErrorHandler* errors) {
        errors->fatalError(nullptr, L"Broken", static_cast<HRESULT>(0xC00CE502));
        return static_cast<HRESULT>(0xC00CE502);
    };
    TaskItemCollection tasks;
    EXPECT_EQ(static_cast<HRESULT>(0xC00CE502), tasks.Load(Bstr(L"x").get()));
    EXPECT_EQ(L"<QRError Desc=\"MSXML Fatal error: Broken\" Activity=\"\" HR=\"0xc00ce502\" />",
              TakeThreadError().description);
}

TEST_F(SaxReaderSeamTest, ElementContextCarriesTheLocatorsExactPosition) {
    FakeReaderRegistration registration(&reader);
    FakeLocator locator(12, 4);
    FakeAttributes none;
    reader.script = [&](ISAXContentHandler* content, ISAXErrorHandler*) {
        content->putDocumentLocator(&locator);
        HRESULT hr = Start(content, L"TaskItem", &none);  // not a possible root
        return hr;
    };
    TaskItemCollection tasks;
    EXPECT_EQ(E_INVALIDARG, tasks.Load(Bstr(L"<TaskItem/>").get()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"SAXSchemaParser::startElement()", error.source);
    std::wstring first = error.description.substr(0, error.description.find(L"\r\n"));
    EXPECT_THAT(first, testing::EndsWith(L"Activity=\"Parsing element TaskItem(Ln 12, Col 4)\" HR=\"E_INVALIDARG\" />"));
    EXPECT_EQ(0, locator.refs);
}

TEST_F(SaxReaderSeamTest, ReaderThatCannotBeCreated) {
    FakeReaderRegistration registration(&reader, E_OUTOFMEMORY);
    TaskItemCollection tasks;
    EXPECT_EQ(E_OUTOFMEMORY, tasks.Load(Bstr(L"<TaskItemList/>").get()));
    ThreadError error = TakeThreadError();
    EXPECT_EQ(L"SAXSchemaParser::ParseString", error.source);
    EXPECT_EQ(0u, error.description.find(
                      L"<QRError Desc=\"Could not connect to MSXML6::SAXXMLReader\" HR=\"E_OUTOFMEMORY\" />\r\n"))
        << error.description;
}

TEST_F(SaxReaderSeamTest, HundredThousandLevelsOfNestedObjects) {
    FakeReaderRegistration registration(&reader);
    const int kDepth = 100000;
    FakeAttributes numbered({{L"X", L"7"}, {L"N", L"deep"}});
    reader.script = [&](ISAXContentHandler* content, ISAXErrorHandler*) {
        for (int i = 0; i < kDepth; ++i)
            if (HRESULT hr = Start(content, L"O", &numbered); FAILED(hr)) return hr;
        for (int i = 0; i < kDepth; ++i)
            if (HRESULT hr = End(content, L"O"); FAILED(hr)) return hr;
        return S_OK;
    };
    std::vector<ObjRecord> objects;
    ASSERT_EQ(S_OK, ParseObjects(objects, Bstr(L"<O/>").get()));
    ASSERT_EQ(1u, objects.size());
    int depth = 1;
    for (const ObjRecord* record = &objects[0]; !record->objects.empty(); record = &record->objects[0]) {
        ASSERT_EQ(1u, record->objects.size());
        EXPECT_EQ(7, record->X);
        ++depth;
    }
    EXPECT_EQ(kDepth, depth);
    // Destroying the tree must not recurse once per level either.
    objects.clear();
}

TEST_F(SaxReaderSeamTest, AbortDeepInsideClosesEveryLevel) {
    FakeReaderRegistration registration(&reader);
    const int kDepth = 20000;
    CallLog log;
    const SchemaEntry schema[] = {
        {kSchemaStart, nullptr, 0}, {kComplexElement, L"n", 1}, {kEndMembers, nullptr, 0}, {kSchemaEnd, nullptr, 0}};
    RecordingParser parser(schema, log);
    struct Counting : DefaultSAXSchemaElementHandler {
        int open = 0, ended = 0, childEnds = 0;
        HRESULT GetChildHandler(int, SAXSchemaElementHandler** handler) override { return *handler = this, S_OK; }
        HRESULT OnStart(int) override { return ++open == kDepthLimit ? QRSAX_E_ABORT : S_OK; }
        HRESULT OnEnd(int) override { return ++ended, S_OK; }
        HRESULT OnChildEnd(int, SAXSchemaElementHandler*) override { return ++childEnds, S_OK; }
        int kDepthLimit = 0;
    } counting;
    counting.kDepthLimit = kDepth;
    parser.document.children[1] = &counting;
    FakeAttributes none;
    reader.script = [&](ISAXContentHandler* content, ISAXErrorHandler* errors) {
        for (int i = 0; i < kDepth + 5; ++i) {
            HRESULT hr = Start(content, L"n", &none);
            if (FAILED(hr)) {
                errors->fatalError(nullptr, L"stopped", hr);
                return hr;
            }
        }
        return S_OK;
    };
    ASSERT_EQ(S_OK, parser.Parse(L"<n/>"));
    EXPECT_TRUE(parser.IsAborted());
    EXPECT_EQ(kDepth, counting.ended);
    EXPECT_EQ(kDepth - 1, counting.childEnds);
    EXPECT_THAT(log, ElementsAre(L"doc.GetChildHandler(1)", L"doc.OnChildEnd(1, ?)", L"doc.OnEnd(0)"));
    EXPECT_FALSE(TakeThreadError().present);
}
