// The spreadsheet application's objects in this process, driven late-bound as the report
// drives them: members, arguments and their refusals, and the workbooks kept once the
// last object is released.
#include <gtest/gtest.h>
#include "applicationobject.h"
#include "automationcall.h"
#include "winkit/unique_safearray.h"

namespace {

using winkit::ComPtr;
using winkit::UniqueVariant;

VARIANT Long(LONG value) { return *UniqueVariant::Long(value).get(); }

// A VARIANT array of `rows` x `columns` values (one-dimensional for rows == 0), lower bounds 1.
UniqueVariant Array(LONG rows, LONG columns, const std::vector<VARIANT>& values) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 1}, {static_cast<ULONG>(columns), 1}};
    winkit::UniqueSafeArray array(rows ? SafeArrayCreate(VT_VARIANT, 2, bounds) : SafeArrayCreate(VT_VARIANT, 1, bounds + 1));
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        LONG index[2] = {rows ? i / columns + 1 : i + 1, i % columns + 1};
        SafeArrayPutElement(array.get(), rows ? index : index + 1, const_cast<VARIANT*>(&values[static_cast<size_t>(i)]));
    }
    UniqueVariant v;
    V_VT(v.get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(v.get()) = array.release();
    return v;
}

class SpreadsheetAutomation : public testing::Test {
protected:
    void SetUp() override {
        auto made = ApplicationObject::Create([this](const Workbook& book) { kept.push_back(book); });
        application = ComPtr<IDispatch>(static_cast<IDispatch*>(made.get()));
        ASSERT_EQ(S_OK, Get(application.get(), L"Workbooks", &workbooks));
        ASSERT_EQ(S_OK, Get(workbooks.get(), L"Add", &book, {}, DISPATCH_METHOD));
        ASSERT_EQ(S_OK, Get(book.get(), L"Sheets", &sheets));
    }

    // A text argument, held by the test.
    VARIANT Text(const wchar_t* text) { return *texts_.emplace_back(UniqueVariant::String(text)).get(); }
    // Reads an object-valued member (as a property, or called when `kind` says so).
    static HRESULT Get(IDispatch* object, const wchar_t* name, ComPtr<IDispatch>* out, std::initializer_list<VARIANT> arguments = {},
                       WORD kind = DISPATCH_PROPERTYGET) {
        DISPID id = -1;
        UniqueVariant result;
        HRESULT hr = AutomationCall(kind, result.get(), object, id, name, arguments);
        *out = SUCCEEDED(hr) && result.vt() == VT_DISPATCH ? ComPtr<IDispatch>(V_DISPATCH(result.get())) : nullptr;
        return hr;
    }
    static HRESULT Put(IDispatch* object, const wchar_t* name, const VARIANT& value) {
        DISPID id = -1;
        return AutomationCall(DISPATCH_PROPERTYPUT, nullptr, object, id, name, {value});
    }
    static UniqueVariant Read(IDispatch* object, const wchar_t* name) {
        DISPID id = -1;
        UniqueVariant value;
        EXPECT_EQ(S_OK, AutomationCall(DISPATCH_PROPERTYGET, value.put(), object, id, name));
        return value;
    }
    ComPtr<IDispatch> Range(LONG sheet, const wchar_t* reference, LONG rows = 1, LONG columns = 1) {
        ComPtr<IDispatch> item, range, resized;
        EXPECT_EQ(S_OK, Get(sheets.get(), L"Item", &item, {Long(sheet)}));
        EXPECT_EQ(S_OK, Get(item.get(), L"Range", &range, {Text(reference)}));
        EXPECT_EQ(S_OK, Get(range.get(), L"Resize", &resized, {Long(rows), Long(columns)}));
        return resized;
    }
    // Releases every object this test holds, so that the application keeps its workbook.
    const Worksheet& KeptSheet(size_t index) {
        application.reset(), workbooks.reset(), book.reset(), sheets.reset();
        EXPECT_EQ(1u, kept.size());
        return kept.at(0).sheets.at(index);
    }

    std::vector<Workbook> kept;
    ComPtr<IDispatch> application, workbooks, book, sheets;
    std::vector<UniqueVariant> texts_;
};

} // namespace

TEST_F(SpreadsheetAutomation, MembersAndArgumentsAreCheckedAsTheyArrive) {
    ComPtr<IDispatch> range = Range(1, L"B2"), sheet, out;
    UniqueVariant objects = Array(1, 1, {*UniqueVariant::Dispatch(nullptr).get()});
    const struct {
        HRESULT hr;
        HRESULT expected;
    } cases[] = {
        // Sheets count from 1 or go by name.
        {Get(sheets.get(), L"Item", &sheet, {Long(3)}), S_OK},
        {Get(sheets.get(), L"Item", &sheet, {Text(L"sheet1")}), S_OK},
        {Get(sheets.get(), L"Item", &out, {Long(4)}), DISP_E_BADINDEX},
        {Get(sheets.get(), L"Item", &out, {Text(L"Sheet4")}), DISP_E_BADINDEX},
        {Get(sheet.get(), L"Range", &out, {Text(L"1A")}), DISP_E_TYPEMISMATCH},
        {Get(sheet.get(), L"Range", &out), DISP_E_BADPARAMCOUNT},
        {Get(sheet.get(), L"Value", &out), DISP_E_UNKNOWNNAME},  // a member of ranges, not of sheets
        {Get(range.get(), L"Resize", &out, {Long(0), Long(3)}), DISP_E_TYPEMISMATCH},
        {Put(range.get(), L"ColumnWidth", Long(256)), DISP_E_TYPEMISMATCH},
        {Put(range.get(), L"Value", *objects.get()), DISP_E_TYPEMISMATCH},
        {Put(application.get(), L"VISIBLE", *UniqueVariant::Bool(true).get()), S_OK},  // names ignore case
        {Put(application.get(), L"Workbooks", Long(1)), DISP_E_MEMBERNOTFOUND},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].expected, cases[i].hr) << "case " << i;
}

TEST_F(SpreadsheetAutomation, WhatTheReportPutsReachesTheWorkbookKeptOnceAtTheLastRelease) {
    ComPtr<IDispatch> d1 = Range(1, L"D1"), header = Range(2, L"A1", 1, 3), block = Range(2, L"B2", 2, 2), font;
    ASSERT_EQ(S_OK, Put(d1.get(), L"ColumnWidth", Long(30)));
    ASSERT_EQ(S_OK, Put(d1.get(), L"Value", Text(L"To Do List Report for Workspace:")));
    ASSERT_EQ(S_OK, Put(header.get(), L"ColumnWidth", Long(20)));
    ASSERT_EQ(S_OK, Get(header.get(), L"Font", &font));
    ASSERT_EQ(S_OK, Put(font.get(), L"Bold", *UniqueVariant::Bool(true).get()));
    // A one-dimensional array is a row; 2 x 3 values into 2 x 2 cells lose their third column.
    ASSERT_EQ(S_OK, Put(header.get(), L"Value", *Array(0, 3, {Text(L"Name"), Long(7), Text(L"")}).get()));
    ASSERT_EQ(S_OK, Put(block.get(), L"Value", *Array(2, 3, {Text(L"a"), Text(L"b"), Text(L"c"), Text(L"d"), Text(L""), Text(L"f")}).get()));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(Read(font.get(), L"Bold").get()));
    EXPECT_STREQ(L"To Do List Report for Workspace:", V_BSTR(Read(d1.get(), L"Value").get()));
    d1.reset(), header.reset(), block.reset();
    application.reset(), workbooks.reset(), book.reset(), sheets.reset();
    EXPECT_TRUE(kept.empty()) << "a font still held keeps the workbook open";
    font.reset();
    const Worksheet& cover = KeptSheet(0);
    const Worksheet& table = KeptSheet(1);
    EXPECT_EQ(CellValue(std::wstring(L"To Do List Report for Workspace:")), *cover.Find({1, 4})->value);
    EXPECT_DOUBLE_EQ(30, cover.ColumnWidth(4));
    for (int column : {1, 2, 3}) {
        EXPECT_DOUBLE_EQ(20, table.ColumnWidth(column));
        EXPECT_TRUE(table.Find({1, column})->bold);
    }
    EXPECT_DOUBLE_EQ(kStandardColumnWidth, table.ColumnWidth(4));
    EXPECT_EQ(CellValue(7.0), *table.Find({1, 2})->value);
    EXPECT_EQ(CellValue(std::wstring(L"")), *table.Find({1, 3})->value);
    EXPECT_EQ(CellValue(std::wstring(L"a")), *table.Find({2, 2})->value);
    EXPECT_EQ(CellValue(std::wstring(L"")), *table.Find({3, 3})->value);
    EXPECT_FALSE(table.Find({2, 4})) << "outside the range";
}
