#include "walkthrough.h"

#include <commctrl.h>
#include <cstdio>
#include "configureviewres.h"
#include "screencapture.h"
#include "tasklistres.h"
#include "taskpropertiesres.h"
#include "uiactions.h"
#include "winkit/unique_handle.h"

namespace demo {
namespace {

constexpr int kColumnTaskName = 0;
constexpr int kColumnCreatedDate = 3;
constexpr int kColumnTaskStatus = 12;
constexpr int kMaxWaits = 40;  // ticks a step may wait for its window
const wchar_t kSpreadsheetKey[] = L"Software\\QRSim\\Spreadsheet";

HWND TaskList() { return FindDialog(L"To Do List"); }
HWND TaskListView() { return GetDlgItem(TaskList(), IDC_TASKLIST_LIST); }

std::wstring RegistryText(const wchar_t* name) {
    wchar_t text[MAX_PATH * 2] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, kSpreadsheetKey, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

void SetRegistryText(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSpreadsheetKey, name, REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

BOOL CALLBACK NoteMessageBox(HWND window, LPARAM found) {
    if (GetDlgItem(window, 0xFFFF) && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// A message box of this thread (its text is the static control 0xFFFF).
HWND FindMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), NoteMessageBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

Walkthrough* Walkthrough::current_ = nullptr;

Walkthrough::Walkthrough(std::wstring outputFolder) : folder_(std::move(outputFolder)) {
    current_ = this;
    steps_ = BuildSteps();
}

Walkthrough::~Walkthrough() {
    if (timer_) KillTimer(nullptr, timer_);
    current_ = nullptr;
}

void Walkthrough::Start() { timer_ = SetTimer(nullptr, 0, 800, &Walkthrough::Tick); }

void CALLBACK Walkthrough::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_) current_->RunNext();
}

void Walkthrough::RunNext() {
    if (Finished()) return;
    Step& step = steps_[next_];
    if (step.action()) {
        ++next_;
        waits_ = 0;
    } else if (++waits_ > kMaxWaits) {
        Fail(step.name, L"the window it waits for did not appear");
        ++next_;
        waits_ = 0;
    }
}

void Walkthrough::Report(const wchar_t* step, const std::wstring& summary, const std::wstring& file) {
    // The file by its name: the output folder is listed at the end.
    std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
    if (!file.empty()) std::wprintf(L"%-13ls %-80ls -> %ls\n", step, summary.c_str(), name.c_str());
    else std::wprintf(L"%-13ls %ls\n", step, summary.c_str());
    std::fflush(stdout);
}

void Walkthrough::Fail(const wchar_t* step, const std::wstring& why) {
    ++failures_;
    std::wprintf(L"%-13ls FAILED: %ls\n", step, why.c_str());
    std::fflush(stdout);
}

std::wstring Walkthrough::Screenshot(HWND window, const wchar_t* name) {
    std::wstring path = folder_ + L"\\" + name + L".bmp";
    if (!CaptureWindow(window, path)) {
        Fail(name, L"no screenshot");
        return {};
    }
    return path;
}

std::vector<Walkthrough::Step> Walkthrough::BuildSteps() {
    return {
        {L"1 open",
         [this] {
             HWND dialog = TaskList();
             if (!dialog) return false;
             SetWindowPos(dialog, nullptr, 16, 16, 1010, 470, SWP_NOZORDER);
             HWND list = TaskListView();
             const int widths[] = {190, 260, 120, 130};
             for (int i = 0; i < 4; ++i) ListView_SetColumnWidth(list, i, widths[i]);
             Report(L"1 open", std::to_wstring(RowCount(list)) + L" tasks listed in " +
                                   std::to_wstring(Header_GetItemCount(ListView_GetHeader(list))) + L" columns",
                    Screenshot(dialog, L"01-open"));
             return true;
         }},
        {L"2 sort",
         [this] {
             HWND list = TaskListView();
             ClickHeader(list, kColumnCreatedDate);
             int last = RowCount(list) - 1;
             Report(L"2 sort", L"by Created Date, oldest first: \"" + CellText(list, 0, kColumnCreatedDate) +
                                   L"\" ... \"" + CellText(list, last, kColumnCreatedDate) + L"\"",
                    Screenshot(TaskList(), L"02-sorted-by-created-date"));
             return true;
         }},
        {L"3 filter",
         [] {
             PostCommand(TaskList(), ID_TASKLIST_SETTINGS);
             return true;
         }},
        {L"3 filter",
         [this] {
             HWND view = FindDialog(L"Configure View");
             if (!view) return false;
             PickTab(view, IDC_CV_TABS, 1);
             HWND combo = GetDlgItem(view, IDC_CV_COLUMN);
             SendMessageW(combo, CB_SETCURSEL,
                          SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Task Category")), 0);
             for (int id = IDC_CV_BEGINSWITH; id <= IDC_CV_ISEQUAL; ++id)
                 CheckDlgButton(view, id, id == IDC_CV_ISEQUAL ? BST_CHECKED : BST_UNCHECKED);
             SetDlgItemTextW(view, IDC_CV_VALUE, L"update");
             SendMessageW(GetDlgItem(view, IDC_CV_RULE_ADD), BM_CLICK, 0, 0);
             Report(L"3 filter", L"rule: Task Category .Equal. \"update\" (case is ignored)",
                    Screenshot(view, L"03-configure-view-filter"));
             PostCommand(view, IDOK);
             return true;
         }},
        {L"3 filter",
         [this] {
             if (FindDialog(L"Configure View")) return false;
             Report(L"3 filter", std::to_wstring(RowCount(TaskListView())) + L" Update tasks listed",
                    Screenshot(TaskList(), L"03-filtered"));
             return true;
         }},
        {L"4 run",
         [this] {
             HWND list = TaskListView();
             for (int row = 0; row < RowCount(list) && runName_.empty(); ++row)
                 if (CellText(list, row, kColumnTaskStatus) == L"Open") runName_ = CellText(list, row, kColumnTaskName);
             if (runName_.empty()) {
                 Fail(L"4 run", L"no open task is listed");
                 return true;
             }
             SelectOnly(list, RowWithText(list, kColumnTaskName, runName_));
             PostCommand(TaskList(), IDC_TASKLIST_ACTION);
             return true;
         }},
        {L"4 run",
         [this] {
             if (HWND box = FindMessageBox()) {
                 Screenshot(box, L"04-run-message");
                 PostMessageW(box, WM_COMMAND, IDOK, 0);
                 return false;
             }
             HWND list = TaskListView();
             int row = RowWithText(list, kColumnTaskName, runName_);
             if (row < 0) {
                 Fail(L"4 run", L"the task's row is gone");
                 return true;
             }
             SelectOnly(list, row);
             Report(L"4 run", L"ran \"" + CellText(list, row, kColumnTaskName) + L"\": status now " +
                                  CellText(list, row, kColumnTaskStatus),
                    Screenshot(TaskList(), L"04-run"));
             return true;
         }},
        {L"5 properties",
         [this] {
             HWND list = TaskListView();
             int row = -1;
             for (int r = 0; r < RowCount(list) && row < 0; ++r) {
                 std::wstring name = CellText(list, r, kColumnTaskName);
                 if (name != runName_ && name.rfind(L"Update ", 0) == 0 && CellText(list, r, kColumnTaskStatus) != L"Completed")
                     row = r;
             }
             if (row < 0) {
                 Fail(L"5 properties", L"no Update task is listed");
                 return true;
             }
             SelectOnly(list, row);
             PostCommand(TaskList(), IDC_TASKLIST_PROPERTIES);
             return true;
         }},
        {L"5 properties",
         [this] {
             HWND dialog = FindDialogStartingWith(L"Task Properties - ");
             if (!dialog) return false;
             Screenshot(dialog, L"05-properties-general");
             PickTab(dialog, IDC_TASKPROPERTIES_TABS, 3);
             HWND page = FindPageWith(dialog, IDC_TASKCREATE_PROPERTIES);
             HWND tree = GetDlgItem(page, IDC_TASKCREATE_PROPERTIES);
             int objects = 0, before = RowCount(tree);
             for (int row = RowCount(tree) - 1; row >= 0; --row)
                 if (RowImage(tree, row) == 2) {
                     ClickRow(tree, NM_CLICK, row, 4 + 10);  // the plus box of a top object row
                     ++objects;
                 }
             wchar_t title[128] = {};
             GetWindowTextW(dialog, title, 128);
             Report(L"5 properties", std::wstring(title) + L": Update tab, " + std::to_wstring(before) + L" rows, " +
                                         std::to_wstring(objects) + L" object(s) expanded to " +
                                         std::to_wstring(RowCount(tree)) + L" rows",
                    Screenshot(dialog, L"05-properties-update-tree"));
             PostCommand(dialog, IDCANCEL);
             return true;
         }},
        {L"6 report",
         [this] {
             if (FindDialogStartingWith(L"Task Properties - ")) return false;
             lastReportBefore_ = RegistryText(L"LastReport");
             SetRegistryText(L"ReportsFolder", folder_);
             PostCommand(TaskList(), IDC_TASKLIST_REPORT);
             return true;
         }},
        {L"6 report",
         [this] {
             if (HWND box = FindMessageBox()) {
                 Screenshot(box, L"06-report-message");
                 PostMessageW(box, WM_COMMAND, IDOK, 0);
                 Fail(L"6 report", L"the spreadsheet application could not be reached");
                 return true;
             }
             std::wstring written = RegistryText(L"LastReport");
             if (written.empty() || written == lastReportBefore_) return false;
             Report(L"6 report", L"workbook with the listed tasks written", written);
             return true;
         }},
        {L"7 close",
         [] {
             PostCommand(TaskList(), IDOK);
             return true;
         }},
    };
}

} // namespace demo
