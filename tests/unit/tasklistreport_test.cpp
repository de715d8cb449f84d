// The To Do list report against the spreadsheet application's objects behind the proxies.
#include <gtest/gtest.h>
#include <functional>
#include <tuple>
#include "applicationobject.h"
#include "diagnostics/hresulttext.h"
#include "support/dialog_driver.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"
#include "support/fault_partners.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "support/fixed_clock.h"
#include "support/progid_override.h"
#include "support/trace_capture.h"
#include "tasklistmodel.h"
#include "tasklistreport.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_handle.h"

namespace {

// {3D0F5B1E-8E52-4C73-9A3B-2F6E1C4D7A10}: the class "Excel.Application" names while a test runs.
const CLSID kSpreadsheetClass = {0x3d0f5b1e, 0x8e52, 0x4c73, {0x9a, 0x3b, 0x2f, 0x6e, 0x1c, 0x4d, 0x7a, 0x10}};

const std::vector<std::wstring> kColumns = {L"Task Name", L"Item Name", L"Deleted Flag"};

// Every step of a report of 3 columns and 4 tasks, in order; E3's time is filled in.
std::vector<std::wstring> ExpectedCalls(const std::wstring& workspaceName, const std::wstring& user, const std::wstring& time) {
    return {
        L"Application put Visible = VT_BOOL -1", L"Application put UserControl = VT_BOOL -1",
        L"Application get Workbooks()", L"Workbooks call Add()", L"Workbook get Sheets()", L"Sheets get Item(VT_I4 1)",
        L"Sheet1 get Range(VT_BSTR \"A1\")", L"Sheet1!A1 put Value = VT_BSTR \"\"", L"Sheet1 get Range(VT_BSTR \"D1\")",
        L"Sheet1!D1 put ColumnWidth = VT_I4 30", L"Sheet1!D1 put Value = VT_BSTR \"To Do List Report for Workspace:\"",
        L"Sheet1 get Range(VT_BSTR \"D2\")", L"Sheet1!D2 put Value = VT_BSTR \"Created By:\"",
        L"Sheet1 get Range(VT_BSTR \"D3\")", L"Sheet1!D3 put Value = VT_BSTR \"On:\"", L"Sheet1 get Range(VT_BSTR \"E1\")",
        L"Sheet1!E1 put ColumnWidth = VT_I4 40", L"Sheet1!E1 put Value = VT_BSTR \"" + workspaceName + L"\"",
        L"Sheet1 get Range(VT_BSTR \"E2\")", L"Sheet1!E2 put Value = VT_BSTR \"" + user + L"\"",
        L"Sheet1 get Range(VT_BSTR \"E3\")", L"Sheet1!E3 put Value = VT_BSTR \"" + time + L"\"",
        L"Sheets get Item(VT_I4 2)", L"Sheet2 get Range(VT_BSTR \"A1\")", L"Sheet2!A1 get Resize(VT_I4 1, VT_I4 3)",
        L"Sheet2!A1.Resize(1,3) put ColumnWidth = VT_I4 20", L"Sheet2!A1.Resize(1,3) get Font()",
        L"Sheet2!A1.Resize(1,3).Font put Bold = VT_BOOL -1",
        L"Sheet2!A1.Resize(1,3) put Value = VT_ARRAY|VT_VARIANT [1..1,1..3]", L"Sheet2 get Range(VT_BSTR \"A2\")",
        L"Sheet2!A2 get Resize(VT_I4 4, VT_I4 3)", L"Sheet2!A2.Resize(4,3) put Value = VT_ARRAY|VT_VARIANT [1..4,1..3]",
    };
}

class TaskListReport : public testing::Test {
protected:
    void SetUp() override {
        FaultPlan::Get().Start();
        spreadsheet.Spreadsheet(kSpreadsheetClass, [this](IDispatch** application) {
            auto made = ApplicationObject::Create([this](const Workbook& book) { kept.push_back(book); });
            return made->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application));
        });
        ASSERT_EQ(L"", spreadsheet.problem());
        ASSERT_EQ(ERROR_SUCCESS, progId.result());
        workspace->workspaceName = L"Plant 7 & Co";
        workspace->userName = L"j.smith";
        window.reset(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr));
    }
    void TearDown() override { FaultPlan::Get().Start(); }

    // The list the user sees: 3 columns, the 2 tasks in progress of `tasks`; the open
    // ones are hidden by the view.
    HRESULT Report(size_t tasks = 4, ReportNotice notice = ReportNotice::Silent) {
        TaskListModel model;
        model.SetColumns({{kColumns[0]}, {kColumns[1]}, {kColumns[2]}});
        model.Views().ShowOpen = 0;
        for (size_t i = 0; i < tasks; ++i) {
            TaskItem& task = model.Tasks().Items().emplace_back();
            task.ToDo_Index = static_cast<int>(i + 1);
            task.ToDo_Status = i < 2 ? kStatusInProgress : kStatusOpen;
        }
        TaskItem& update = model.Tasks().Items()[0];
        update.ToDo_Category = kCategoryUpdate;
        update.ToDo_Name = update.ToDo_ItemName = L"P-101";
        TaskItem& manual = model.Tasks().Items()[1];
        manual.ToDo_Category = kCategoryManual;
        manual.ToDo_Name = L"Check seals";
        manual.ToDo_ItemName = listed[1][1];
        manual.ToDo_DeletedFlag = 1;
        model.Fill();
        return ReportTaskList(window.get(), model, workspace.get(), notice);
    }
    static std::vector<std::wstring> Calls() { return FaultPlan::Get().Calls(L"::Invoke("); }
    // The texts of a block of the workbook the report made (1-based); "(none)" for a
    // cell that holds no text.
    std::vector<std::vector<std::wstring>> Texts(size_t sheet, int top, int rows, int columns) const {
        std::vector<std::vector<std::wstring>> texts(rows, std::vector<std::wstring>(columns, L"(none)"));
        if (kept.size() != 1 || kept[0].sheets.size() < sheet) return texts;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c) {
                const Cell* cell = kept[0].sheets[sheet - 1].Find({top + r, 1 + c});
                if (cell && cell->value && std::holds_alternative<std::wstring>(*cell->value))
                    texts[r][c] = std::get<std::wstring>(*cell->value);
            }
        return texts;
    }
    std::wstring TimeWritten() const { return Texts(1, 3, 1, 5)[0][4]; }  // E3

    FixedClock clock;
    ProgIdOverride progId{L"Excel.Application", kSpreadsheetClass};
    fault::PartnerRedirects spreadsheet;
    std::vector<Workbook> kept;
    testcom::Fake<FakeWorkspace> workspace;
    winkit::UniqueHWnd window;
    // The second task's item name is longer than the list's read buffer of 256 characters,
    // and than its first doubling.
    const std::vector<std::vector<std::wstring>> listed = {
        {L"Update P-101", L"P-101", L""},
        {L"Manual Check seals", std::wstring(300, L'x') + std::wstring(400, L'y') + L"end", L"Deleted"}};
};

} // namespace

TEST_F(TaskListReport, MakesEveryCallInOrderAndReleasesEverything) {
    TraceCapture trace(0);  // the report's scope is at level 1
    ASSERT_EQ(S_OK, Report());
    EXPECT_EQ(FixedClock::kText, TimeWritten());
    // Each in LOCALE_SYSTEM_DEFAULT, without places for exception or argument errors.
    EXPECT_EQ(ExpectedCalls(L"Plant 7 & Co", L"j.smith", FixedClock::kText), Calls());
    EXPECT_EQ(0, fault::LiveProxies()) << "every object is released";
    EXPECT_EQ(1u, kept.size()) << "the application is released";
    EXPECT_NE(std::wstring::npos, trace.text().find(L">>>> Enter CExcelApp::OpenFile()")) << trace.text().c_str();
}

TEST_F(TaskListReport, BlocksAreTextArraysInColumnSetOrderPaddedToTheTaskCount) {
    ASSERT_EQ(S_OK, Report(5));
    EXPECT_EQ(L"Sheet2!A2.Resize(5,3) put Value = VT_ARRAY|VT_VARIANT [1..5,1..3]", Calls().back());
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{kColumns}), Texts(2, 1, 1, 3));
    std::vector<std::vector<std::wstring>> expected = listed;
    expected.resize(5, {L"", L"", L""});
    EXPECT_EQ(expected, Texts(2, 2, 5, 3)) << "empty cells are empty texts, not empty VARIANTs";
}

// Once the application is reached, the report goes on past failed steps, calls nothing on
// objects it did not get, returns the step recorded last with its error information and
// never shows a message. A workbook of one sheet: the data block has no range.
TEST_F(TaskListReport, FailedStepsAfterTheApplicationWasReached) {
    for (auto [step, failure, result, calls] :
         {std::tuple{L"Sheets get Item(VT_I4 2)", DISP_E_BADINDEX, E_FAIL, 23},
          {L"Sheet2!A2.Resize(4,3) put Value = VT_ARRAY|VT_VARIANT [1..4,1..3]", HRESULT(0x800A03EC), HRESULT(0x800A03EC), 32}}) {
        FaultPlan::Get().Start();
        FaultPlan::Get().ArmCall(step, failure);
        ClearThreadError();
        DialogDriver driver;
        EXPECT_EQ(result, Report(4, ReportNotice::TellUserWhenUnreachable));
        std::vector<std::wstring> expected = ExpectedCalls(L"Plant 7 & Co", L"j.smith", FixedClock::kText);
        expected.resize(calls);
        EXPECT_EQ(expected, Calls());
        ThreadError error = TakeThreadError();
        EXPECT_EQ(calls == 32 ? L"1" + FaultPlan::InjectedDescription(L"Excel Range::Invoke(Value)") : L"0",
                  std::to_wstring(error.present) + error.description);
        EXPECT_EQ(0, fault::LiveProxies());
        EXPECT_TRUE(driver.boxes().empty());
        kept.clear();
    }
}

TEST_F(TaskListReport, UnreachableSpreadsheetFailsAndTellsTheUserWhy) {
    // {0E3E6B9A-5C1D-4F1B-8E63-6C3F2A9D0B11}: a class nobody registered.
    const CLSID nowhere = {0x0e3e6b9a, 0x5c1d, 0x4f1b, {0x8e, 0x63, 0x6c, 0x3f, 0x2a, 0x9d, 0x0b, 0x11}};
    const struct {
        const char* name;
        std::function<void()> arm;
        std::wstring message;
        std::vector<std::wstring> calls;
    } cases[] = {
        {"not registered", [this] { progId.Remove(); },
         SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotRegistered, CO_E_CLASSSTRING), {}},
        {"not started", [&] { progId.PointTo(nowhere); },
         SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotStarted, REGDB_E_CLASSNOTREG), {}},
        {"no workbooks", [] { FaultPlan::Get().ArmCall(L"Application get Workbooks()", RPC_E_SERVERFAULT); },
         SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NoWorkbooks, RPC_E_SERVERFAULT),
         {L"Application put Visible = VT_BOOL -1", L"Application put UserControl = VT_BOOL -1", L"Application get Workbooks()"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        progId.PointTo(kSpreadsheetClass);
        std::wstring errors[2];
        for (ReportNotice notice : {ReportNotice::TellUserWhenUnreachable, ReportNotice::Silent}) {
            FaultPlan::Get().Start();
            c.arm();
            DialogDriver driver;
            driver.Answer(IDOK);
            EXPECT_EQ(E_FAIL, Report(4, notice));
            // Told or not, the report's error information stays on the thread, past the box.
            ThreadError error = TakeThreadError();
            errors[notice == ReportNotice::Silent] = std::to_wstring(error.present) + L" " + error.description;
            EXPECT_EQ(c.calls, Calls());
            EXPECT_EQ(0, fault::LiveProxies());
            // Only when told: one box, an exclamation owned by the window that holds the list.
            std::wstring boxes;
            for (const ShownMessageBox& box : driver.boxes()) {
                bool exclaimsOverTheList = box.style == (MB_OK | MB_ICONEXCLAMATION) && box.owner == window.get();
                boxes += box.title + L"|" + box.text + (exclaimsOverTheList ? L";" : L" (another style or owner);");
            }
            EXPECT_EQ(notice == ReportNotice::Silent ? L"" : L"To Do List|" + c.message + L";", boxes);
        }
        EXPECT_EQ(L'1', errors[0][0]);
        EXPECT_EQ(errors[0], errors[1]);
    }
    EXPECT_TRUE(kept.empty());
}

TEST(TaskListReportMessage, SaysWhyAndGivesTheSystemsTextWithTheCode) {
    const std::wstring start =
        L"The report could not be made: the spreadsheet application \"Excel.Application\" is not available.\n\n";
    // A code the system has a text for: the text, then the code.
    EXPECT_EQ(start + L"It could not be started.\n" + HResultMessage(E_ACCESSDENIED) + L" (0x80070005)",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotStarted, E_ACCESSDENIED));
    // A code without a text: the code once.
    const HRESULT unknown = 0x8004F00D;
    EXPECT_EQ(start + L"It is not registered on this computer.\nUnknown error 0x8004F00D",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotRegistered, unknown));
    EXPECT_EQ(start + L"It did not give access to its workbooks.\nUnknown error 0x8004F00D",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NoWorkbooks, unknown));
    // A small code keeps its eight digits.
    EXPECT_EQ(start + L"It did not give access to its workbooks.\n" + HResultMessage(ERROR_ACCESS_DENIED) + L" (0x00000005)",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NoWorkbooks, ERROR_ACCESS_DENIED));
}
