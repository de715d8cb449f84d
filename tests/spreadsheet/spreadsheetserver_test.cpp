// The registered spreadsheet server end to end: its registration, and a To Do list report
// of 3 listed tasks out of 10 with a dragged column, read back from the .xlsx it wrote.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include "packagereader.h"
#include "reportfiles.h"
#include "spreadsheetidentifiers.h"
#include "support/fake_workspace.h"
#include "support/dialog_driver.h"
#include "support/settings_store.h"
#include "support/registry_helpers.h"
#include "support/sim_workspace.h"
#include "support/test_list_view.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistreport.h"
#include "userstamp.h"
#include "winkit/com_module.h"

namespace {

const std::vector<std::wstring> kDefaultColumns = {
    L"Task Name", L"Task Description", L"Item Name", L"Created Date", L"Created By", L"Modified Date", L"Modified By",
    L"Run Date", L"Run By", L"Source Doc Name", L"Source Doc Type", L"Task Category", L"Task Status", L"Deleted Flag"};

// The three tasks a filter left listed, as the list shows them.
const std::vector<std::vector<std::wstring>> kListedRows = {
    {L"Update P-101", L"This task will Update P-101", L"P-101", L"2026-11-30 08:15:00", L"PLANT\\ann", L"", L"", L"", L"",
     L"P&ID 100-A", L"Drawing", L"Update", L"Open", L""},
    {L"Manual Check seals", L"Check seals <pump & valve>", L"P-102", L"2026-12-01 09:00:00", L"PLANT\\bob", L"", L"", L"",
     L"", L"", L"", L"Manual", L"InProgress", L""},
    {L"Delete V-7", L"This task will Delete V-7", L"V-7", L"2026-12-02 10:30:00", L"PLANT\\cy", L"", L"", L"", L"",
     L"Line list", L"Report", L"Delete", L"Open", L"Deleted"},
};

std::wstring ServerPath() { return ProgramFolder() + L"simspreadsheetserver.exe"; }

DWORD RunServer(const wchar_t* option) { return RunProcess(L"\"" + ServerPath() + L"\" " + option); }

size_t ServerProcesses() {
    winkit::UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry = {sizeof entry};
    size_t count = 0;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (_wcsicmp(entry.szExeFile, L"simspreadsheetserver.exe") == 0) ++count;
    return count;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
    for (DWORD start = GetTickCount(); !done(); Sleep(50))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

// Sends the server's reports to a folder of this run, and puts the setting back after.
class ReportsFolderSetting {
public:
    ReportsFolderSetting() {
        previous_ = RegistryString(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"qrc-spreadsheet-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(GetTickCount());
        Set(folder_);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue);
    }
    ~ReportsFolderSetting() {
        if (previous_) Set(*previous_);
        else RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue);
    }
    const std::wstring& folder() const { return folder_; }

private:
    static void Set(const std::wstring& value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue, REG_SZ, value.c_str(),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    std::optional<std::wstring> previous_;
    std::wstring folder_;
};

std::wstring Column(int index) { return std::wstring(1, static_cast<wchar_t>(L'A' + index)); }

} // namespace

TEST(SpreadsheetServer, RegistersItsClassAndProgIdsAndRemovesThem) {
    const std::wstring clsidKey = L"CLSID\\" + winkit::GuidToString(CLSID_QRSimSpreadsheetApplication);
    ASSERT_EQ(0u, RunServer(L"/UnregServer"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Excel.Application"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"Excel.Application.1"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, clsidKey));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID")) << "the folder of all classes stays";

    ASSERT_EQ(0u, RunServer(L"-regserver"));
    EXPECT_EQ(winkit::GuidToString(CLSID_QRSimSpreadsheetApplication), RegistryString(HKEY_CLASSES_ROOT, L"Excel.Application\\CLSID"));
    EXPECT_EQ(L"Excel.Application.1", RegistryString(HKEY_CLASSES_ROOT, L"Excel.Application\\CurVer"));
    EXPECT_EQ(winkit::GuidToString(CLSID_QRSimSpreadsheetApplication), RegistryString(HKEY_CLASSES_ROOT, L"Excel.Application.1\\CLSID"));
    EXPECT_EQ(L"\"" + ServerPath() + L"\"", RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\LocalServer32"));
    EXPECT_EQ(L"Excel.Application", RegistryString(HKEY_CLASSES_ROOT, clsidKey + L"\\VersionIndependentProgID"));
}

TEST(SpreadsheetServer, ReportOfThreeListedTasksOutOfTenBecomesAWorkbookFile) {
    ASSERT_EQ(0u, RunServer(L"/RegServer"));
    ReportsFolderSetting reports;
    TestListView list(kDefaultColumns);
    for (const auto& row : kListedRows) list.AddRow(row);
    // "Deleted Flag" dragged to the front, "Item Name" before "Task Description".
    list.SetColumnOrder({13, 0, 2, 1, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    testcom::Fake<FakeWorkspace> workspace;
    workspace->workspaceName = L"Sample Workspace";
    workspace->userName = L"PLANT\\tester";

    std::wstring before = StampUserAndTime(nullptr).timeText;
    ASSERT_EQ(S_OK, ReportTaskList(list.list(), kDefaultColumns, 10, workspace.get(), ReportNotice::Silent));
    std::wstring after = StampUserAndTime(nullptr).timeText;

    std::optional<std::wstring> path;
    ASSERT_TRUE(WaitFor([&] { return (path = RegistryString(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue)).has_value(); }, 10000))
        << "the server records the file it wrote";
    EXPECT_EQ(0u, path->find(reports.folder() + L"\\"));
    EXPECT_TRUE(WaitFor([] { return ServerProcesses() == 0; }, 20000)) << "the server ends once its objects are gone";

    std::string problem;
    auto parts = ReadStoredZip(FileBytes(*path), &problem);
    ASSERT_EQ("", problem);
    for (const char* name : {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
                             "xl/styles.xml", "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"})
        EXPECT_EQ(1u, parts.count(name)) << name;
    EXPECT_NE(std::string::npos, parts["xl/styles.xml"].find("<font><b/>"));

    // Sheet 1: the cover block.
    SheetContent cover = ReadSheetXml(parts["xl/worksheets/sheet1.xml"]);
    EXPECT_EQ((std::map<int, double>{{4, 30}, {5, 40}}), cover.widths);
    ASSERT_TRUE(cover.Find(L"A1"));
    EXPECT_EQ("inlineStr", cover.Find(L"A1")->type);
    EXPECT_EQ(L"", cover.Find(L"A1")->text);
    EXPECT_EQ(L"To Do List Report for Workspace:", cover.Find(L"D1")->text);
    EXPECT_EQ(L"Created By:", cover.Find(L"D2")->text);
    EXPECT_EQ(L"On:", cover.Find(L"D3")->text);
    EXPECT_EQ(L"Sample Workspace", cover.Find(L"E1")->text);
    EXPECT_EQ(L"PLANT\\tester", cover.Find(L"E2")->text);
    std::wstring time = cover.Find(L"E3")->text;
    // "%c" texts of one day order as the times they stand for; the report may take seconds.
    EXPECT_TRUE(before <= time && time <= after) << time.c_str();
    EXPECT_EQ(7u, cover.cells.size());

    // Sheet 2: the bold header in column-set order, 20 wide; the listed rows; empty texts
    // up to the size of the collection.
    SheetContent table = ReadSheetXml(parts["xl/worksheets/sheet2.xml"]);
    EXPECT_EQ("A1:N11", table.dimension);
    for (int c = 0; c < 14; ++c) {
        const SheetCell* header = table.Find(Column(c) + L"1");
        ASSERT_TRUE(header) << c;
        EXPECT_EQ(kDefaultColumns[c], header->text);
        EXPECT_EQ(1, header->style) << "bold";
        EXPECT_DOUBLE_EQ(20, table.widths[c + 1]);
    }
    EXPECT_EQ(14u, table.widths.size());
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 14; ++c) {
            const SheetCell* cell = table.Find(Column(c) + std::to_wstring(r + 2));
            ASSERT_TRUE(cell) << r << "," << c;
            EXPECT_EQ(kListedRows[r][c], cell->text) << r << "," << c;
            EXPECT_EQ(0, cell->style);
        }
    for (int r = 5; r <= 11; ++r)
        for (int c = 0; c < 14; ++c) {
            const SheetCell* cell = table.Find(Column(c) + std::to_wstring(r));
            ASSERT_TRUE(cell) << r << "," << c;
            EXPECT_EQ("inlineStr", cell->type);
            EXPECT_EQ(L"", cell->text);
        }
    EXPECT_EQ(14u * 11u, table.cells.size()) << "nothing below row 11";
    EXPECT_TRUE(ReadSheetXml(parts["xl/worksheets/sheet3.xml"]).cells.empty());
}

// The Report button of the real To Do List over the sample workspace, with a filter that
// lists 3 of its 30 tasks and a column dragged to the front.
TEST(SpreadsheetServer, ReportButtonOnTheSampleWorkspaceWritesTheListedTasks) {
    SimWorkspace sim;
    ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
    ASSERT_EQ(0u, RunServer(L"/RegServer"));
    ReportsFolderSetting reports;
    SettingsStore store;
    DialogDriver driver(60);

    std::vector<std::vector<std::wstring>> listed;
    CTaskListDlg dialog(sim.Workspace());
    WhenDialogShown(L"To Do List", [&](HWND window) {
        TaskListDialogAccess::Rules(dialog).push_back(FilterRule{L"Task Category", kIsEqual, L"unclaim"});
        TaskListDialogAccess::FillRows(dialog);
        ASSERT_EQ(3, TaskListDialogAccess::RowCount(dialog));
        std::vector<int> order = {13, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};  // "Deleted Flag" dragged first
        TaskListDialogAccess::List(dialog).SetColumnOrderArray(order);
        for (int row = 0; row < 3; ++row) {
            listed.emplace_back();
            for (int column = 0; column < 14; ++column) listed.back().push_back(TaskListDialogAccess::List(dialog).ItemText(row, column));
        }
        Click(window, IDC_TASKLIST_REPORT);
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal(nullptr);

    std::optional<std::wstring> path;
    ASSERT_TRUE(WaitFor([&] { return (path = RegistryString(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue)).has_value(); }, 10000));
    EXPECT_TRUE(WaitFor([] { return ServerProcesses() == 0; }, 20000));
    std::string problem;
    auto parts = ReadStoredZip(FileBytes(*path), &problem);
    ASSERT_EQ("", problem);

    SheetContent cover = ReadSheetXml(parts["xl/worksheets/sheet1.xml"]);
    EXPECT_EQ(L"To Do List Report for Workspace:", cover.Find(L"D1")->text);
    EXPECT_EQ(L"Unit 0101 Feed Pumps and Cooling Water", cover.Find(L"E1")->text);
    EXPECT_EQ(L"PLANT\\jdoe", cover.Find(L"E2")->text);
    EXPECT_EQ((std::map<int, double>{{4, 30}, {5, 40}}), cover.widths);

    SheetContent table = ReadSheetXml(parts["xl/worksheets/sheet2.xml"]);
    EXPECT_EQ("A1:N31", table.dimension);  // the header and T = 30 rows
    for (int c = 0; c < 14; ++c) {
        const SheetCell* header = table.Find(Column(c) + L"1");
        ASSERT_TRUE(header);
        EXPECT_EQ(kDefaultColumns[c], header->text) << "column-set order, not the dragged order";
        EXPECT_EQ(1, header->style) << "bold";
        EXPECT_DOUBLE_EQ(20, table.widths[c + 1]);
    }
    for (int row = 0; row < 30; ++row) {
        for (int c = 0; c < 14; ++c) {
            const SheetCell* cell = table.Find(Column(c) + std::to_wstring(row + 2));
            ASSERT_TRUE(cell) << row << "," << c;
            EXPECT_EQ(row < 3 ? listed[row][c] : L"", cell->text) << row << "," << c;
        }
    }
    EXPECT_EQ(L"UnClaim", table.Find(L"L2")->text);
}
