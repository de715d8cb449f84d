// The registered spreadsheet server end to end, from the Report button of the real To Do list.
#include <gtest/gtest.h>
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include "packagereader.h"
#include "reportfiles.h"
#include "support/dialog_driver.h"
#include "support/fixed_clock.h"
#include "support/registry_helpers.h"
#include "support/settings_store.h"
#include "support/sim_workspace.h"
#include "support/tasklist_dialog_access.h"
#include "tasklistcolumns.h"
#include "winkit/unique_handle.h"

namespace {

// Sends the server's reports to a folder of this run and hears the server record one;
// forgets the folder and the last report after.
class ReportsFolderSetting {
public:
    ReportsFolderSetting() {
        std::wstring folder = (std::filesystem::temp_directory_path() /
                               (L"qrc-spreadsheet-" + std::to_wstring(GetCurrentProcessId()))).wstring();
        RegSetKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kReportsFolderValue, REG_SZ, folder.c_str(),
                        static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue);
        RegOpenKeyExW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, 0, KEY_NOTIFY | KEY_QUERY_VALUE, settings_.put());
        Listen();
    }
    ~ReportsFolderSetting() {
        for (const wchar_t* value : {kReportsFolderValue, kLastReportValue})
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, value);
    }
    // The file the server recorded, waiting for its record; nothing when none comes
    // before the watchdog's limit (a server that hangs or never started).
    std::optional<std::wstring> WaitForReport() {
        for (;;) {
            if (auto path = RegistryString(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue)) return path;
            if (WaitForSingleObject(changed_.get(), kWatchdogMs) != WAIT_OBJECT_0) return std::nullopt;
            Listen();
        }
    }

private:
    static constexpr DWORD kWatchdogMs = 60 * 1000;
    void Listen() {
        ASSERT_EQ(ERROR_SUCCESS, RegNotifyChangeKeyValue(settings_.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET,
                                                         changed_.get(), TRUE));
    }
    winkit::UniqueHKey settings_;
    winkit::UniqueKernelHandle changed_{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

// The texts of a block of a sheet from A1, "(none)" for a cell that is not written; a
// "*" follows the text of a bold cell, a "#" that of a cell that is no inline string.
std::vector<std::vector<std::wstring>> Texts(const SheetContent& sheet, int rows, int columns) {
    std::vector<std::vector<std::wstring>> texts(rows, std::vector<std::wstring>(columns, L"(none)"));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (auto cell = sheet.cells.find(std::wstring(1, wchar_t(L'A' + c)) + std::to_wstring(r + 1));
                cell != sheet.cells.end())
                texts[r][c] = cell->second.text + (cell->second.style == 1 ? L"*" : L"") +
                              (cell->second.type == "inlineStr" ? L"" : L"#");
    return texts;
}

// The To Do list over the workspace, filtered to its three "unclaim" tasks with "Deleted
// Flag" dragged to the front, and its Report button clicked: the rows as the list shows them.
std::vector<std::vector<std::wstring>> ReportThreeListedTasks(IWorkspace* workspace) {
    std::vector<std::vector<std::wstring>> listed;
    CTaskListDlg dialog(workspace);
    WhenDialogShown(L"To Do List", [&](HWND window) {
        TaskListDialogAccess::Rules(dialog).push_back(FilterRule{L"Task Category", kIsEqual, L"unclaim"});
        TaskListDialogAccess::FillRows(dialog);
        ASSERT_EQ(3, TaskListDialogAccess::RowCount(dialog));
        TaskListDialogAccess::List(dialog).SetColumnOrderArray(std::vector<int>{13, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        for (int row = 0; row < 3; ++row) {
            listed.emplace_back();
            for (int column = 0; column < 14; ++column) listed.back().push_back(TaskListDialogAccess::List(dialog).ItemText(row, column));
        }
        Click(window, IDC_TASKLIST_REPORT);
        ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    dialog.DoModal(nullptr);
    return listed;
}

} // namespace

// Three of the sample's 30 tasks listed by a filter, and a column dragged to the front.
TEST(SpreadsheetServer, ReportButtonOnTheSampleWorkspaceWritesTheListedTasksIntoAWorkbookFile) {
    SimWorkspace sim;
    ASSERT_TRUE(sim.ok()) << "QRSim.Workspace must be registered (register-components.sh)";
    ReportsFolderSetting reports;
    FixedClock clock;
    SettingsStore store;
    DialogDriver driver(60);

    std::vector<std::vector<std::wstring>> expected(1);
    for (const ColumnEntry& column : DefaultColumnSet()) expected[0].push_back(column.name + L"*");  // bold
    for (const auto& row : ReportThreeListedTasks(sim.Workspace())) expected.push_back(row);

    // The server records the file it wrote once it is whole.
    std::optional<std::wstring> path = reports.WaitForReport();
    ASSERT_TRUE(path.has_value()) << "the spreadsheet server recorded no report within the watchdog's limit";
    std::string problem;
    std::ifstream file(std::filesystem::path(*path), std::ios::binary);
    auto parts = ReadStoredZip(std::string(std::istreambuf_iterator<char>(file), {}), &problem);
    ASSERT_EQ("", problem);

    SheetContent cover = ReadSheetXml(parts["xl/worksheets/sheet1.xml"]);
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{
                  {L"", L"(none)", L"(none)", L"To Do List Report for Workspace:", L"Unit 0101 Feed Pumps and Cooling Water"},
                  {L"(none)", L"(none)", L"(none)", L"Created By:", L"PLANT\\jdoe"},
                  {L"(none)", L"(none)", L"(none)", L"On:", FixedClock::kText}}),
              Texts(cover, 3, 5));
    EXPECT_EQ(7u, cover.cells.size());

    // The header in column-set order, not the dragged order; empty texts up to the 30 tasks.
    SheetContent table = ReadSheetXml(parts["xl/worksheets/sheet2.xml"]);
    expected.resize(31, std::vector<std::wstring>(14, L""));
    EXPECT_EQ(expected, Texts(table, 31, 14));
    EXPECT_EQ(14u * 31u, table.cells.size()) << "nothing more";
}
