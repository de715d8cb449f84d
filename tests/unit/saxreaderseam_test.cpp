// The schema parser over a scripted stand-in reader.
#include <gmock/gmock.h>
#include "assignmentsdocument.h"
#include "diagnostics/hresulttext.h"
#include "fake_sax_reader.h"
#include "objschema.h"
#include "taskitemcollection.h"
#include "xml_test_support.h"

namespace {

using Script = std::function<HRESULT(ISAXContentHandler*, ISAXErrorHandler*)>;

// Elements are started without attributes.
HRESULT Start(ISAXContentHandler* content, const wchar_t* name, bool end = false) {
    int length = static_cast<int>(wcslen(name));
    return end ? content->endElement(L"", 0, name, length, name, length)
               : content->startElement(L"", 0, name, length, name, length, nullptr);
}

class SaxReaderSeamTest : public testing::Test {
protected:
    void SetUp() override { ClearThreadError(); }
    FakeReaderRegistration fake;
    FakeSaxReader& reader = *fake.reader;
};

} // namespace

TEST_F(SaxReaderSeamTest, ReaderIsToldNeverToResolveExternalEntitiesAndLetsGoAfterwards) {
    TaskItemCollection tasks;
    ASSERT_EQ(S_OK, tasks.Load(Bstr(L"<TaskItemList/>").get()));
    EXPECT_THAT(reader.features, testing::ElementsAre(L"http://xml.org/sax/features/external-general-entities=false",
                                                      L"http://xml.org/sax/features/external-parameter-entities=false",
                                                      L"prohibit-dtd=true"));
    EXPECT_EQ(L"<TaskItemList/>", reader.parsedText);
    EXPECT_EQ(nullptr, reader.content.get());
    EXPECT_EQ(nullptr, reader.errors.get());
    EXPECT_EQ(2u, reader.RefCount());  // the test's and the class object's
}

TEST_F(SaxReaderSeamTest, ReaderFailuresBecomeDocuments) {
    testcom::Fake<FakeLocator> locator(12, 4);
    const std::wstring invalid = HResultMessage(E_INVALIDARG);
    struct Case { HRESULT creation; Script script; HRESULT expected; std::wstring source, description; } cases[] = {
        // Only the first failure counts.
        {S_OK,
         [&](auto*, auto* errors) {
             errors->error(locator.get(), L"Something is wrong", E_FAIL);
             return errors->fatalError(locator.get(), L"And then this", E_UNEXPECTED), E_FAIL;
         },
         E_FAIL, L"",
         L"<QRError Desc=\"MSXML Error: Something is wrong\" Activity=\"Parsing XML (Ln 12, Col 4)\" HR=\"E_FAIL\" />"},
        {S_OK, [&](auto*, auto* errors) { return errors->fatalError(nullptr, L"Broken", HRESULT(0xC00CE502)); },
         HRESULT(0xC00CE502), L"", L"<QRError Desc=\"MSXML Fatal error: Broken\" Activity=\"\" HR=\"0xc00ce502\" />"},
        // A task is no root: the element's context carries the locator's position.
        {S_OK, [&](auto* content, auto*) { return content->putDocumentLocator(locator.get()), Start(content, L"TaskItem"); },
         E_INVALIDARG, L"SAXSchemaParser::startElement()",
         L"<QRError Desc=\"" + invalid + L"\" Activity=\"Parsing element TaskItem(Ln 12, Col 4)\" HR=\"E_INVALIDARG\" />\r\n"
         L"<QRError Desc=\"" + invalid + L"\" HR=\"E_INVALIDARG\" />"},
        {E_OUTOFMEMORY, nullptr, E_OUTOFMEMORY, L"SAXSchemaParser::ParseString",
         L"<QRError Desc=\"Could not connect to MSXML6::SAXXMLReader\" HR=\"E_OUTOFMEMORY\" />\r\n"
         L"<QRError Desc=\"" + HResultMessage(E_OUTOFMEMORY) + L"\" HR=\"E_OUTOFMEMORY\" />"},
    };
    for (const Case& c : cases) {
        fake.factory->failure = c.creation;
        reader.script = c.script;
        TaskItemCollection tasks;
        EXPECT_EQ(c.expected, tasks.Load(Bstr(L"<TaskItemList/>").get())) << c.description;
        ThreadError error = TakeThreadError();
        EXPECT_EQ(c.source, error.source);
        EXPECT_EQ(c.description, error.description);
        EXPECT_EQ(0u, tasks.Count());
    }
    EXPECT_EQ(1u, locator->RefCount());
}

// A document type declaration is refused before a reader is made (the texts refused:
// DocumentTypeTest; every entry point: tests/reliability/hostile_test.cpp).
TEST_F(SaxReaderSeamTest, DocumentTypeDeclarationsNeverReachTheReader) {
    TaskItemCollection tasks;
    EXPECT_EQ(QRSAX_E_DTD_PROHIBITED, tasks.Load(Bstr(L"<!DOCTYPE TaskItemList><TaskItemList><TaskItem/></TaskItemList>")
                                                     .get()));
    EXPECT_EQ(L"<QRError Desc=\"XML documents with a document type declaration are not accepted\" HR=\"0x8004c002\" />",
              TakeThreadError().description);
    EXPECT_EQ(0u, tasks.Count());
    EXPECT_TRUE(ReadAssignments(L"<?xml version=\"1.0\"?>\n<!DOCTYPE O SYSTEM \"file:///c:/x\"><O N='a'/>").empty());
    EXPECT_TRUE(reader.features.empty());
}

TEST_F(SaxReaderSeamTest, HundredThousandLevelsOfNestedObjects) {
    const int kDepth = 100000;
    reader.script = [&](ISAXContentHandler* content, ISAXErrorHandler*) {
        HRESULT hr = S_OK;
        for (int i = 0; i < 2 * kDepth && SUCCEEDED(hr); ++i) hr = Start(content, L"O", i >= kDepth);
        return hr;
    };
    std::vector<ObjRecord> objects;
    ASSERT_EQ(S_OK, ParseObjects(objects, Bstr(L"<O/>").get()));
    ASSERT_EQ(1u, objects.size());
    int depth = 1;
    for (const ObjRecord* record = &objects[0]; !record->objects.empty(); record = &record->objects[0], ++depth)
        ASSERT_EQ(1u, record->objects.size());
    EXPECT_EQ(kDepth, depth);
    objects.clear();  // destroying the tree must not recurse once per level either
}
