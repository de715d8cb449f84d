// The spreadsheet application's objects in this process, driven late-bound as the report
// drives them: members, arguments and their refusals, and when the workbooks are kept.
#include <gtest/gtest.h>
#include "applicationobject.h"
#include "automationcall.h"
#include "winkit/unique_safearray.h"

namespace {

winkit::UniqueVariant Text(const wchar_t* text) { return winkit::UniqueVariant::String(text); }
winkit::UniqueVariant Long(LONG value) { return winkit::UniqueVariant::Long(value); }

class SpreadsheetAutomation : public testing::Test {
protected:
    void SetUp() override {
        auto made = ApplicationObject::Create([this](const Workbook& book) { kept.push_back(book); });
        application = winkit::ComPtr<IDispatch>(static_cast<IDispatch*>(made.get()));
    }

    // Reads an object-valued member (as a property, or called when `kind` says so).
    HRESULT Get(IDispatch* object, const wchar_t* name, winkit::ComPtr<IDispatch>* out,
                std::initializer_list<VARIANT> arguments = {}, WORD kind = DISPATCH_PROPERTYGET) {
        DISPID id = -1;
        winkit::UniqueVariant result;
        HRESULT hr = AutomationCall(kind, result.get(), object, id, name, arguments);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(VT_DISPATCH, result.vt());
            *out = winkit::ComPtr<IDispatch>(V_DISPATCH(result.get()));
        }
        return hr;
    }
    HRESULT Put(IDispatch* object, const wchar_t* name, const VARIANT& value) {
        DISPID id = -1;
        return AutomationCall(DISPATCH_PROPERTYPUT, nullptr, object, id, name, {value});
    }
    HRESULT Read(IDispatch* object, const wchar_t* name, winkit::UniqueVariant* out) {
        DISPID id = -1;
        return AutomationCall(DISPATCH_PROPERTYGET, out->put(), object, id, name);
    }
    winkit::ComPtr<IDispatch> Sheet(LONG index) {
        winkit::ComPtr<IDispatch> workbooks, book, sheets, sheet;
        EXPECT_EQ(S_OK, Get(application.get(), L"Workbooks", &workbooks));
        if (!this->book) {
            EXPECT_EQ(S_OK, Get(workbooks.get(), L"Add", &this->book, {}, DISPATCH_METHOD));
        }
        EXPECT_EQ(S_OK, Get(this->book.get(), L"Sheets", &sheets));
        EXPECT_EQ(S_OK, Get(sheets.get(), L"Item", &sheet, {*Long(index).get()}));
        return sheet;
    }
    winkit::ComPtr<IDispatch> Range(IDispatch* sheet, const wchar_t* reference) {
        winkit::ComPtr<IDispatch> range;
        EXPECT_EQ(S_OK, Get(sheet, L"Range", &range, {*Text(reference).get()}));
        return range;
    }
    const Worksheet& KeptSheet(size_t index) { return kept.at(0).sheets.at(index); }

    std::vector<Workbook> kept;
    winkit::ComPtr<IDispatch> application, book;
};

} // namespace

TEST_F(SpreadsheetAutomation, ANewWorkbookHasThreeSheetsCountedFromOne) {
    winkit::ComPtr<IDispatch> workbooks, added, sheets, sheet;
    ASSERT_EQ(S_OK, Get(application.get(), L"Workbooks", &workbooks));
    ASSERT_EQ(S_OK, Get(workbooks.get(), L"Add", &added, {}, DISPATCH_METHOD));
    ASSERT_EQ(S_OK, Get(added.get(), L"Sheets", &sheets));
    for (LONG index : {1, 2, 3}) EXPECT_EQ(S_OK, Get(sheets.get(), L"Item", &sheet, {*Long(index).get()})) << index;
    EXPECT_EQ(S_OK, Get(sheets.get(), L"Item", &sheet, {*Long(2).get()}, DISPATCH_METHOD)) << "Item may be called too";
    EXPECT_EQ(S_OK, Get(sheets.get(), L"Item", &sheet, {*Text(L"sheet3").get()})) << "or given a sheet's name";
    for (LONG index : {0, 4, -1}) EXPECT_EQ(DISP_E_BADINDEX, Get(sheets.get(), L"Item", &sheet, {*Long(index).get()})) << index;
    EXPECT_EQ(DISP_E_BADINDEX, Get(sheets.get(), L"Item", &sheet, {*Text(L"Sheet4").get()}));
}

TEST_F(SpreadsheetAutomation, UnknownMembersAreRefusedByName) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Nope")};
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    EXPECT_EQ(DISPID_UNKNOWN, id);
    names[0] = const_cast<LPOLESTR>(L"Value");  // a member of ranges, not of the application
    EXPECT_EQ(DISP_E_UNKNOWNNAME, application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    names[0] = const_cast<LPOLESTR>(L"visible");
    EXPECT_EQ(S_OK, application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) << "names ignore case";
    DISPPARAMS none = {};
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, application->Invoke(4242, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE, application->Invoke(id, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, nullptr, nullptr, nullptr));
}

TEST_F(SpreadsheetAutomation, BadArgumentsAreRefused) {
    winkit::ComPtr<IDispatch> sheet = Sheet(1), range = Range(sheet.get(), L"B2"), out, workbooks;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Get(sheet.get(), L"Range", &out, {*Long(5).get()}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Get(sheet.get(), L"Range", &out, {*Text(L"1A").get()}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Put(range.get(), L"ColumnWidth", *Text(L"wide").get()));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Put(range.get(), L"ColumnWidth", *Long(256).get()));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Get(range.get(), L"Resize", &out, {*Long(0).get(), *Long(3).get()}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Get(range.get(), L"Resize", &out, {*Text(L"two").get(), *Long(3).get()}));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Put(range.get(), L"Value", *winkit::UniqueVariant::Dispatch(nullptr).get()));
    winkit::ComPtr<IDispatch> font;
    ASSERT_EQ(S_OK, Get(range.get(), L"Font", &font));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Put(font.get(), L"Bold", *Text(L"very").get()));
    // An array whose elements are not values.
    SAFEARRAYBOUND bounds[2] = {{1, 1}, {1, 1}};
    winkit::UniqueSafeArray objects(SafeArrayCreate(VT_VARIANT, 2, bounds));
    LONG first[2] = {1, 1};
    winkit::UniqueVariant object = winkit::UniqueVariant::Dispatch(application.get());
    application->AddRef();
    SafeArrayPutElement(objects.get(), first, object.get());
    VARIANT array;
    V_VT(&array) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&array) = objects.get();
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Put(range.get(), L"Value", array));
    // Counts and kinds.
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Get(sheet.get(), L"Range", &out));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Get(range.get(), L"Resize", &out, {*Long(1).get(), *Long(1).get(), *Long(1).get()}));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Get(range.get(), L"Font", &out, {*Long(1).get()}));
    ASSERT_EQ(S_OK, Get(application.get(), L"Workbooks", &workbooks));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Put(application.get(), L"Workbooks", *Long(1).get()));
    DISPID add = -1, named = 7;
    DISPPARAMS withName = {nullptr, &named, 0, 0};
    winkit::UniqueVariant one = Long(1);
    withName.rgvarg = one.get();
    withName.cArgs = withName.cNamedArgs = 1;
    LPOLESTR addName[] = {const_cast<LPOLESTR>(L"Add")};
    ASSERT_EQ(S_OK, workbooks->GetIDsOfNames(IID_NULL, addName, 1, 0, &add));
    EXPECT_EQ(DISP_E_NONAMEDARGS, workbooks->Invoke(add, IID_NULL, 0, DISPATCH_METHOD, &withName, nullptr, nullptr, nullptr));
}

TEST_F(SpreadsheetAutomation, CellsWidthsAndBoldReachTheWorkbookKeptAtTheLastRelease) {
    winkit::ComPtr<IDispatch> cover = Sheet(1), table = Sheet(2);
    winkit::ComPtr<IDispatch> d1 = Range(cover.get(), L"D1"), header, font;
    ASSERT_EQ(S_OK, Put(d1.get(), L"ColumnWidth", *Long(30).get()));
    ASSERT_EQ(S_OK, Put(d1.get(), L"Value", *Text(L"To Do List Report for Workspace:").get()));
    ASSERT_EQ(S_OK, Get(Range(table.get(), L"A1").get(), L"Resize", &header, {*Long(1).get(), *Long(3).get()}));
    ASSERT_EQ(S_OK, Put(header.get(), L"ColumnWidth", *Long(20).get()));
    ASSERT_EQ(S_OK, Get(header.get(), L"Font", &font));
    ASSERT_EQ(S_OK, Put(font.get(), L"Bold", *winkit::UniqueVariant::Bool(true).get()));
    winkit::UniqueVariant read;
    ASSERT_EQ(S_OK, Read(font.get(), L"Bold", &read));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(read.get()));
    ASSERT_EQ(S_OK, Read(d1.get(), L"Value", &read));
    EXPECT_STREQ(L"To Do List Report for Workspace:", V_BSTR(read.get()));

    // The application goes first; a range still held keeps the workbook open.
    application.reset();
    cover.reset();
    table.reset();
    header.reset();
    book.reset();
    d1.reset();
    EXPECT_TRUE(kept.empty());
    font.reset();
    ASSERT_EQ(1u, kept.size()) << "kept once, when the last object went";
    EXPECT_EQ(CellValue(std::wstring(L"To Do List Report for Workspace:")), *KeptSheet(0).Find({1, 4})->value);
    EXPECT_DOUBLE_EQ(30, KeptSheet(0).ColumnWidth(4));
    for (int column : {1, 2, 3}) {
        EXPECT_DOUBLE_EQ(20, KeptSheet(1).ColumnWidth(column));
        EXPECT_TRUE(KeptSheet(1).Find({1, column})->bold);
    }
    EXPECT_DOUBLE_EQ(kStandardColumnWidth, KeptSheet(1).ColumnWidth(4));
}

TEST_F(SpreadsheetAutomation, ArraysLandFromTheTopLeftAndReadBackOneBased) {
    winkit::ComPtr<IDispatch> sheet = Sheet(2), block, row;
    ASSERT_EQ(S_OK, Get(Range(sheet.get(), L"B2").get(), L"Resize", &block, {*Long(2).get(), *Long(2).get()}));
    // 2 x 3 into 2 x 2: the third column is dropped.
    SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 1}};
    winkit::UniqueSafeArray values(SafeArrayCreate(VT_VARIANT, 2, bounds));
    const wchar_t* texts[2][3] = {{L"a", L"b", L"c"}, {L"d", L"", L"f"}};
    for (LONG r = 1; r <= 2; ++r)
        for (LONG c = 1; c <= 3; ++c) {
            LONG index[2] = {r, c};
            SafeArrayPutElement(values.get(), index, Text(texts[r - 1][c - 1]).get());
        }
    VARIANT array;
    V_VT(&array) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&array) = values.get();
    ASSERT_EQ(S_OK, Put(block.get(), L"Value", array));

    winkit::UniqueVariant read;
    ASSERT_EQ(S_OK, Read(block.get(), L"Value", &read));
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, read.vt());
    LONG lower = 0, upper = 0;
    SafeArrayGetLBound(V_ARRAY(read.get()), 1, &lower);
    SafeArrayGetUBound(V_ARRAY(read.get()), 2, &upper);
    EXPECT_EQ(1, lower);
    EXPECT_EQ(2, upper);
    LONG secondRowFirstColumn[2] = {2, 1};
    winkit::UniqueVariant element;
    SafeArrayGetElement(V_ARRAY(read.get()), secondRowFirstColumn, element.get());
    EXPECT_STREQ(L"d", V_BSTR(element.get()));

    // A one-dimensional array is a row.
    SAFEARRAYBOUND line = {2, 0};
    winkit::UniqueSafeArray rowValues(SafeArrayCreate(VT_VARIANT, 1, &line));
    for (LONG i = 0; i < 2; ++i) SafeArrayPutElement(rowValues.get(), &i, Long(10 + i).get());
    V_ARRAY(&array) = rowValues.get();
    ASSERT_EQ(S_OK, Get(Range(sheet.get(), L"A5").get(), L"Resize", &row, {*Long(1).get(), *Long(2).get()}));
    ASSERT_EQ(S_OK, Put(row.get(), L"Value", array));

    row.reset();
    block.reset();
    sheet.reset();
    book.reset();
    application.reset();
    ASSERT_EQ(1u, kept.size());
    const Worksheet& kept2 = KeptSheet(1);
    EXPECT_EQ(CellValue(std::wstring(L"a")), *kept2.Find({2, 2})->value);
    EXPECT_EQ(CellValue(std::wstring(L"")), *kept2.Find({3, 3})->value);
    EXPECT_FALSE(kept2.Find({2, 4})) << "outside the range";
    EXPECT_EQ(CellValue(11.0), *kept2.Find({5, 2})->value);
}
