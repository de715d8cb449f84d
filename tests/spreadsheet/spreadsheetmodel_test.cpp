// The spreadsheet application's own parts: cell references, the workbook model, the
// package writer with its zip container, and the report files.
#include <gtest/gtest.h>
#include <windows.h>
#include "cellarea.h"
#include "packagereader.h"
#include "reportfiles.h"
#include "storedzip.h"
#include "workbook.h"
#include "xlsxpackage.h"

namespace {

std::string Find(const std::vector<ZipEntry>& parts, const std::string& name) {
    for (const ZipEntry& part : parts)
        if (part.name == name) return part.bytes;
    ADD_FAILURE() << "no part " << name;
    return {};
}

bool Contains(const std::string& text, const std::string& piece) { return text.find(piece) != std::string::npos; }

} // namespace

TEST(SpreadsheetCells, ReferencesReadAndWrite) {
    EXPECT_EQ(L"A", ColumnLetters(1));
    EXPECT_EQ(L"Z", ColumnLetters(26));
    EXPECT_EQ(L"AA", ColumnLetters(27));
    EXPECT_EQ(L"XFD", ColumnLetters(16384));
    EXPECT_EQ((CellArea{{3, 5}, 1, 1}), ParseArea(L"E3"));
    EXPECT_EQ((CellArea{{1, 1}, 1, 1}), ParseArea(L"$a$1"));
    EXPECT_EQ((CellArea{{1, 1}, 3, 3}), ParseArea(L"C3:A1")) << "either corner may come first";
    EXPECT_EQ((CellArea{{1048576, 16384}, 1, 1}), ParseArea(L"XFD1048576"));
    for (const wchar_t* bad : {L"", L"A", L"1", L"1A", L"A0", L"XFE1", L"A1048577", L"A1:", L"A1 ", L"A-1", L"\u00c41"})
        EXPECT_FALSE(ParseArea(bad)) << bad;
    EXPECT_EQ(L"B2:D3", AreaName({{2, 2}, 2, 3}));
    EXPECT_EQ(L"B2", AreaName({{2, 2}, 1, 1}));
    EXPECT_EQ((CellArea{{2, 1}, 10, 14}), ResizedArea({{2, 1}, 1, 1}, 10, 14));
    EXPECT_FALSE(ResizedArea({{2, 1}, 1, 1}, 0, 14));
    EXPECT_FALSE(ResizedArea({{2, 16384}, 1, 1}, 1, 2)) << "past the last column";
}

TEST(SpreadsheetWorkbook, NewWorkbookHoldsThreeEmptySheets) {
    Workbook book = Workbook::New();
    ASSERT_EQ(3u, book.sheets.size());
    EXPECT_EQ(L"Sheet1", book.sheets[0].name());
    EXPECT_EQ(L"Sheet3", book.sheets[2].name());
    EXPECT_TRUE(book.sheets[1].cells().empty());
    EXPECT_DOUBLE_EQ(kStandardColumnWidth, book.sheets[1].ColumnWidth(1));
}

TEST(SpreadsheetWorkbook, ValuesWidthsAndBoldCoverTheirArea) {
    Worksheet sheet(L"S");
    sheet.SetValue({{1, 1}, 2, 2}, CellValue(std::wstring(L"x")));
    sheet.SetColumnWidth({{5, 2}, 1, 3}, 20);
    sheet.SetBold({{2, 2}, 2, 1}, true);
    EXPECT_EQ(5u, sheet.cells().size()) << "four values, and B3 bold without a value";
    EXPECT_TRUE(sheet.Find({3, 2})->bold);
    EXPECT_FALSE(sheet.Find({3, 2})->value);
    EXPECT_DOUBLE_EQ(20, sheet.ColumnWidth(4));
    EXPECT_DOUBLE_EQ(kStandardColumnWidth, sheet.ColumnWidth(5));
    // Clearing values and bold drops the cells that hold nothing any more.
    sheet.SetValue({{1, 1}, 3, 2}, std::nullopt);
    sheet.SetBold({{1, 1}, 3, 2}, false);
    EXPECT_TRUE(sheet.cells().empty());
    // A grid lands from the top-left and is cut to the area.
    ValueGrid grid = {{CellValue(1.5), CellValue(true), CellValue(std::wstring(L"dropped"))}, {CellValue(std::wstring())}};
    sheet.SetValues({{4, 3}, 2, 2}, grid);
    EXPECT_EQ(CellValue(1.5), *sheet.Find({4, 3})->value);
    EXPECT_EQ(CellValue(true), *sheet.Find({4, 4})->value);
    EXPECT_EQ(CellValue(std::wstring()), *sheet.Find({5, 3})->value) << "an empty text is a value";
    EXPECT_FALSE(sheet.Find({4, 5}));
}

TEST(SpreadsheetPackage, Crc32AndStoredZipReadBack) {
    EXPECT_EQ(0xCBF43926u, Crc32("123456789"));
    EXPECT_EQ(0u, Crc32(""));
    std::string archive = StoredZip({{"a.txt", "alpha"}, {"dir/b.xml", std::string(70000, 'b')}, {"empty", ""}}, 0x6000, 0x5B86);
    std::string problem;
    auto entries = ReadStoredZip(archive, &problem);
    EXPECT_EQ("", problem);
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("alpha", entries["a.txt"]);
    EXPECT_EQ(70000u, entries["dir/b.xml"].size());
    // A flipped byte of data is caught by the CRC.
    archive[30 + 5] ^= 1;
    EXPECT_TRUE(ReadStoredZip(archive, &problem).empty());
    EXPECT_EQ("a.txt: CRC mismatch", problem);
}

TEST(SpreadsheetPackage, TextIsEscapedForXmlAndThePackage) {
    EXPECT_EQ("a &amp; b &lt;c&gt; &quot;d&quot; 'e'", XmlText(L"a & b <c> \"d\" 'e'"));
    EXPECT_EQ("line&#13;\nnext\ttab", XmlText(L"line\r\nnext\ttab"));
    EXPECT_EQ("_x0001_bell_x001F_", XmlText(L"\x0001" L"bell\x001F"));
    EXPECT_EQ("_x005F_x0041_ and _x41_", XmlText(L"_x0041_ and _x41_")) << "a literal escape keeps its underscore";
    EXPECT_EQ("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", XmlText(L"\u00e9\u20ac\xD83D\xDE00"));
    EXPECT_EQ("\xEF\xBF\xBDx", XmlText(L"\xD83Dx")) << "a lone surrogate";
    EXPECT_EQ("_xFFFE_", XmlText(L"\xFFFE"));
}

TEST(SpreadsheetPackage, PartsOfAnOfficeOpenXmlWorkbook) {
    Workbook book = Workbook::New();
    Worksheet& sheet = book.sheets[1];
    sheet.SetValue({{1, 1}, 1, 1}, CellValue(std::wstring(L"Task Name")));
    sheet.SetValue({{1, 2}, 1, 1}, CellValue(std::wstring(L" padded ")));
    sheet.SetBold({{1, 1}, 1, 3}, true);
    sheet.SetColumnWidth({{1, 1}, 1, 3}, 20);
    sheet.SetValue({{2, 1}, 1, 1}, CellValue(42.25));
    sheet.SetValue({{2, 2}, 1, 1}, CellValue(false));
    sheet.SetValue({{3, 1}, 1, 1}, CellValue(std::wstring()));

    std::vector<ZipEntry> parts = XlsxParts(book);
    std::vector<std::string> names;
    for (const ZipEntry& part : parts) names.push_back(part.name);
    EXPECT_EQ((std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                                        "xl/styles.xml", "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",
                                        "xl/worksheets/sheet3.xml"}),
              names);
    std::string types = Find(parts, "[Content_Types].xml");
    EXPECT_TRUE(Contains(types, "<Override PartName=\"/xl/worksheets/sheet3.xml\" "
                                "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"));
    EXPECT_TRUE(Contains(Find(parts, "_rels/.rels"), "Target=\"xl/workbook.xml\""));
    std::string workbook = Find(parts, "xl/workbook.xml");
    EXPECT_TRUE(Contains(workbook, "<sheet name=\"Sheet2\" sheetId=\"2\" r:id=\"rId2\"/>"));
    std::string relationships = Find(parts, "xl/_rels/workbook.xml.rels");
    EXPECT_TRUE(Contains(relationships, "Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                                        "Target=\"worksheets/sheet2.xml\""));
    EXPECT_TRUE(Contains(relationships, "Id=\"rId4\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\""));
    std::string styles = Find(parts, "xl/styles.xml");
    EXPECT_TRUE(Contains(styles, "<font><b/>"));
    EXPECT_TRUE(Contains(styles, "<cellXfs count=\"2\">"));
    EXPECT_TRUE(Contains(styles, "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"));

    std::string xml = Find(parts, "xl/worksheets/sheet2.xml");
    EXPECT_LT(xml.find("<dimension"), xml.find("<cols>"));
    EXPECT_LT(xml.find("</cols>"), xml.find("<sheetData>"));
    EXPECT_TRUE(Contains(xml, "<t xml:space=\"preserve\"> padded </t>"));
    SheetContent content = ReadSheetXml(xml);
    EXPECT_EQ("A1:C3", content.dimension);
    EXPECT_EQ((std::map<int, double>{{1, 20}, {2, 20}, {3, 20}}), content.widths);
    ASSERT_EQ(6u, content.cells.size());
    EXPECT_EQ(L"Task Name", content.Find(L"A1")->text);
    EXPECT_EQ(1, content.Find(L"A1")->style);
    EXPECT_EQ(1, content.Find(L"C1")->style);
    EXPECT_FALSE(content.Find(L"C1")->hasValue) << "bold without a value";
    EXPECT_EQ(L"42.25", content.Find(L"A2")->text);
    EXPECT_EQ("", content.Find(L"A2")->type);
    EXPECT_EQ("b", content.Find(L"B2")->type);
    EXPECT_EQ(L"0", content.Find(L"B2")->text);
    EXPECT_EQ("inlineStr", content.Find(L"A3")->type);
    EXPECT_TRUE(content.Find(L"A3")->hasValue);
    EXPECT_EQ(L"", content.Find(L"A3")->text);
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
              "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData></sheetData></worksheet>",
              Find(parts, "xl/worksheets/sheet3.xml"));
}

class SpreadsheetReportFiles : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"qrc-report-files-" + std::to_wstring(GetTickCount()) + L"\\nested";
        RegSetKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue, REG_SZ, (folder + L"\\").c_str(),
                        static_cast<DWORD>((folder.size() + 2) * sizeof(wchar_t)));
    }
    void TearDown() override { RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue); }

    std::wstring LastReport() {
        wchar_t path[MAX_PATH * 2] = {};
        DWORD size = sizeof path;
        RegGetValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue, RRF_RT_REG_SZ, nullptr, path, &size);
        return path;
    }

    std::wstring folder;
};

TEST_F(SpreadsheetReportFiles, EachWorkbookGetsANewFileInTheConfiguredFolder) {
    EXPECT_EQ(folder, ReportsFolder()) << "a trailing separator is dropped";
    Workbook book = Workbook::New();
    book.sheets[0].SetValue({{1, 1}, 1, 1}, CellValue(std::wstring(L"first")));
    std::wstring first = SaveWorkbook(book);
    std::wstring second = SaveWorkbook(book);
    ASSERT_FALSE(first.empty()) << "the missing folders are made";
    EXPECT_NE(first, second) << "a file is never overwritten";
    EXPECT_EQ(second, LastReport());
    EXPECT_EQ(0u, first.find(folder + L"\\Workbook-"));
    EXPECT_EQ(L".xlsx", first.substr(first.size() - 5));
    std::string problem;
    auto entries = ReadStoredZip(FileBytes(first), &problem);
    EXPECT_EQ("", problem);
    EXPECT_EQ(L"first", ReadSheetXml(entries["xl/worksheets/sheet1.xml"]).Find(L"A1")->text);
}

TEST_F(SpreadsheetReportFiles, WithoutASettingReportsGoToTheDocumentsFolder) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue);
    std::wstring path = ReportsFolder();
    EXPECT_EQ(L"\\QRSim Reports", path.substr(path.size() - 14));
    EXPECT_NE(std::wstring::npos, path.find(L"Documents")) << path.c_str();
}
