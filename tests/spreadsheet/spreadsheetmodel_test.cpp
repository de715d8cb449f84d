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

// The reader the other tests use checks every entry's CRC-32 against the archive's own:
// the writer's CRC must be the real one, and a damaged entry must not pass.
TEST(SpreadsheetPackage, EntriesCarryTheirRealCrc32) {
    EXPECT_EQ(0xCBF43926u, Crc32("123456789"));
    std::string archive = XlsxPackage(Workbook::New(), 0x6000, 0x5B86), problem;
    EXPECT_EQ(8u, ReadStoredZip(archive, &problem).size());
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
