// The spreadsheet application's .xlsx package and report files, read back independently
// of the writer.
#include <gtest/gtest.h>
#include <windows.h>
#include <filesystem>
#include "packagereader.h"
#include "reportfiles.h"
#include "storedzip.h"
#include "support/registry_helpers.h"
#include "workbook.h"
#include "xlsxpackage.h"

TEST(SpreadsheetPackage, TextIsEscapedForXmlAndThePackage) {
    const struct {
        const wchar_t* text;
        const char* written;
    } cases[] = {
        {L"a & b <c> \"d\" 'e'", "a &amp; b &lt;c&gt; &quot;d&quot; 'e'"},
        {L"line\r\nnext\ttab", "line&#13;\nnext\ttab"},
        {L"\x0001" L"bell\x001F\xFFFE", "_x0001_bell_x001F__xFFFE_"},
        {L"_x0041_ and _x41_", "_x005F_x0041_ and _x41_"},  // a literal escape keeps its underscore
        {L"\u00e9\xD83D\xDE00 \xD83Dx", "\xC3\xA9\xF0\x9F\x98\x80 \xEF\xBF\xBDx"},  // a lone surrogate is U+FFFD
    };
    for (const auto& c : cases) EXPECT_EQ(c.written, XmlText(c.text));
}

TEST(SpreadsheetPackage, TheWorkbookOpensFromItsStoredZipWithEveryCell) {
    EXPECT_EQ(0xCBF43926u, Crc32("123456789"));
    Workbook book = Workbook::New();
    Worksheet& sheet = book.sheets[1];
    sheet.SetValue({{1, 1}, 1, 1}, CellValue(std::wstring(L"Task Name")));
    sheet.SetValue({{1, 2}, 1, 1}, CellValue(std::wstring(L" padded & <marked>\r\n")));
    sheet.SetBold({{1, 1}, 1, 3}, true);
    sheet.SetColumnWidth({{1, 1}, 1, 3}, 20);
    sheet.SetValue({{2, 1}, 1, 1}, CellValue(42.25));
    sheet.SetValue({{2, 2}, 1, 1}, CellValue(false));
    sheet.SetValue({{3, 1}, 1, 1}, CellValue(std::wstring()));
    sheet.SetValue({{5, 4}, 1, 1}, CellValue(1.0));
    sheet.SetValue({{5, 4}, 1, 1}, std::nullopt);  // a cell cleared again is not written

    std::string archive = XlsxPackage(book, 0x6000, 0x5B86), problem;
    auto parts = ReadStoredZip(archive, &problem);
    ASSERT_EQ("", problem);
    std::vector<std::string> names;
    for (const auto& part : parts) names.push_back(part.first);
    EXPECT_EQ((std::vector<std::string>{"[Content_Types].xml", "_rels/.rels", "xl/_rels/workbook.xml.rels", "xl/styles.xml",
                                        "xl/workbook.xml", "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml",
                                        "xl/worksheets/sheet3.xml"}),
              names);
    EXPECT_NE(std::string::npos, parts["[Content_Types].xml"].find(
        "<Override PartName=\"/xl/worksheets/sheet3.xml\" "
        "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"));
    EXPECT_NE(std::string::npos, parts["xl/workbook.xml"].find("<sheet name=\"Sheet2\" sheetId=\"2\" r:id=\"rId2\"/>"));
    EXPECT_NE(std::string::npos, parts["xl/styles.xml"].find("<font><b/>"));
    SheetContent content = ReadSheetXml(parts["xl/worksheets/sheet2.xml"]);
    EXPECT_EQ("A1:C3", content.dimension);
    EXPECT_EQ((std::map<int, double>{{1, 20}, {2, 20}, {3, 20}}), content.widths);
    // Each cell as its type, style and value ("-" for none).
    std::map<std::wstring, std::wstring> cells;
    for (const auto& [reference, cell] : content.cells)
        cells[reference] = std::wstring(cell.type.begin(), cell.type.end()) + L" " + std::to_wstring(cell.style) + L" " +
                           (cell.hasValue ? cell.text : L"-");
    EXPECT_EQ((std::map<std::wstring, std::wstring>{{L"A1", L"inlineStr 1 Task Name"},
                                                    {L"B1", L"inlineStr 1  padded & <marked>\r\n"},
                                                    {L"C1", L" 1 -"},
                                                    {L"A2", L" 0 42.25"},
                                                    {L"B2", L"b 0 0"},
                                                    {L"A3", L"inlineStr 0 "}}),
              cells);
    EXPECT_TRUE(ReadSheetXml(parts["xl/worksheets/sheet3.xml"]).cells.empty());
    archive[30 + 19 + 5] ^= 1;  // a flipped byte in the data of the first entry, the content types
    EXPECT_TRUE(ReadStoredZip(archive, &problem).empty());
    EXPECT_EQ("[Content_Types].xml: CRC mismatch", problem);
}

TEST(SpreadsheetReportFiles, EachWorkbookGetsANewFileInTheConfiguredFolder) {
    std::wstring folder = (std::filesystem::temp_directory_path() / (L"qrc-report-files-" + std::to_wstring(GetTickCount()))).wstring() +
                          L"\\nested";
    std::wstring setting = folder + L"\\";
    RegSetKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue, REG_SZ, setting.c_str(),
                    static_cast<DWORD>((setting.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(folder, ReportsFolder()) << "a trailing separator is dropped";
    Workbook book = Workbook::New();
    book.sheets[0].SetValue({{1, 1}, 1, 1}, CellValue(std::wstring(L"first")));
    std::wstring first = SaveWorkbook(book), second = SaveWorkbook(book);
    ASSERT_EQ(0u, first.find(folder + L"\\Workbook-")) << "the missing folders are made";
    EXPECT_EQ(L".xlsx", first.substr(first.size() - 5));
    EXPECT_NE(first, second) << "a file is never overwritten";
    EXPECT_EQ(second, RegistryString(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue));
    std::string problem;
    auto entries = ReadStoredZip(FileBytes(first), &problem);
    EXPECT_EQ(L"first", ReadSheetXml(entries["xl/worksheets/sheet1.xml"]).Find(L"A1")->text);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue);
}
