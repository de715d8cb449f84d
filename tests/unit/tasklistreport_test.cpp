// The To Do list report against the spreadsheet application's own objects behind the
// recording proxies: the exact calls and their order, the two cell blocks, the id caches,
// the failure rules and what the user is told when the application cannot be reached.
#include <gtest/gtest.h>
#include <algorithm>
#include "applicationobject.h"
#include "diagnostics/hresulttext.h"
#include "support/dialog_driver.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_workspace.h"
#include "support/fault_partners.h"
#include "support/fault_plan.h"
#include "support/fault_proxies.h"
#include "support/progid_override.h"
#include "support/test_list_view.h"
#include "support/trace_capture.h"
#include "tasklistreport.h"
#include "userstamp.h"
#include "winkit/com_ptr.h"

namespace {

// {3D0F5B1E-8E52-4C73-9A3B-2F6E1C4D7A10}: the class "Excel.Application" names while a test runs.
const CLSID kSpreadsheetClass = {0x3d0f5b1e, 0x8e52, 0x4c73, {0x9a, 0x3b, 0x2f, 0x6e, 0x1c, 0x4d, 0x7a, 0x10}};

const std::vector<std::wstring> kColumns = {L"Task Name", L"Item Name", L"Deleted Flag"};

// Every step of a report of 3 columns and 4 tasks, in order; E3's time is filled in.
std::vector<std::wstring> ExpectedCalls(const std::wstring& workspaceName, const std::wstring& user, const std::wstring& time) {
    return {
        L"Application put Visible = VT_BOOL -1",
        L"Application put UserControl = VT_BOOL -1",
        L"Application get Workbooks()",
        L"Workbooks call Add()",
        L"Workbook get Sheets()",
        L"Sheets get Item(VT_I4 1)",
        L"Sheet1 get Range(VT_BSTR \"A1\")",
        L"Sheet1!A1 put Value = VT_BSTR \"\"",
        L"Sheet1 get Range(VT_BSTR \"D1\")",
        L"Sheet1!D1 put ColumnWidth = VT_I4 30",
        L"Sheet1!D1 put Value = VT_BSTR \"To Do List Report for Workspace:\"",
        L"Sheet1 get Range(VT_BSTR \"D2\")",
        L"Sheet1!D2 put Value = VT_BSTR \"Created By:\"",
        L"Sheet1 get Range(VT_BSTR \"D3\")",
        L"Sheet1!D3 put Value = VT_BSTR \"On:\"",
        L"Sheet1 get Range(VT_BSTR \"E1\")",
        L"Sheet1!E1 put ColumnWidth = VT_I4 40",
        L"Sheet1!E1 put Value = VT_BSTR \"" + workspaceName + L"\"",
        L"Sheet1 get Range(VT_BSTR \"E2\")",
        L"Sheet1!E2 put Value = VT_BSTR \"" + user + L"\"",
        L"Sheet1 get Range(VT_BSTR \"E3\")",
        L"Sheet1!E3 put Value = VT_BSTR \"" + time + L"\"",
        L"Sheets get Item(VT_I4 2)",
        L"Sheet2 get Range(VT_BSTR \"A1\")",
        L"Sheet2!A1 get Resize(VT_I4 1, VT_I4 3)",
        L"Sheet2!A1.Resize(1,3) put ColumnWidth = VT_I4 20",
        L"Sheet2!A1.Resize(1,3) get Font()",
        L"Sheet2!A1.Resize(1,3).Font put Bold = VT_BOOL -1",
        L"Sheet2!A1.Resize(1,3) put Value = VT_ARRAY|VT_VARIANT [1..1,1..3]",
        L"Sheet2 get Range(VT_BSTR \"A2\")",
        L"Sheet2!A2 get Resize(VT_I4 4, VT_I4 3)",
        L"Sheet2!A2.Resize(4,3) put Value = VT_ARRAY|VT_VARIANT [1..4,1..3]",
    };
}

class TaskListReport : public testing::Test {
protected:
    void SetUp() override {
        FaultPlan::Get().Start();
        spreadsheet.Spreadsheet(kSpreadsheetClass, [this](IDispatch** application) {
            ++applicationsMade;
            auto made = ApplicationObject::Create([this](const Workbook& book) { kept.push_back(book); });
            return made->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application));
        });
        ASSERT_EQ(L"", spreadsheet.problem());
        ASSERT_EQ(ERROR_SUCCESS, progId.result());
        workspace->workspaceName = L"Plant 7 & Co";
        workspace->userName = L"j.smith";
        list.AddRow({L"Update P-101", L"P-101", L""});
        list.AddRow({L"Manual Check seals", longText, L"Deleted"});
    }
    void TearDown() override { FaultPlan::Get().Start(); }

    HRESULT Report(size_t tasks = 4, ReportNotice notice = ReportNotice::Silent) {
        return ReportTaskList(list.list(), kColumns, tasks, workspace.get(), notice);
    }
    static std::vector<std::wstring> Calls() { return FaultPlan::Get().Calls(L"::Invoke("); }
    static std::vector<std::wstring> Lookups() { return FaultPlan::Get().Calls(L"::GetIDsOfNames("); }
    static bool Called(const std::wstring& call) {
        std::vector<std::wstring> calls = Calls();
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
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

    ProgIdOverride progId{L"Excel.Application", kSpreadsheetClass};
    fault::PartnerRedirects spreadsheet;
    std::vector<Workbook> kept;
    int applicationsMade = 0;
    testcom::Fake<FakeWorkspace> workspace;
    TestListView list{kColumns};
    // Longer than the first read buffer of 256 characters, and than its first doubling.
    std::wstring longText = std::wstring(300, L'x') + std::wstring(400, L'y') + L"end";
};

} // namespace

TEST_F(TaskListReport, MakesEveryCallInOrderAndReleasesEverything) {
    TraceCapture trace(0);  // the report's scope is at level 1
    std::wstring before = StampUserAndTime(nullptr).timeText;
    ASSERT_EQ(S_OK, Report());
    std::wstring after = StampUserAndTime(nullptr).timeText;

    std::vector<std::wstring> lines = Calls();
    ASSERT_EQ(32u, lines.size());
    std::wstring time = TimeWritten();
    EXPECT_TRUE(time == before || time == after) << time.c_str();
    // Each in LOCALE_SYSTEM_DEFAULT, without places for exception or argument errors.
    EXPECT_EQ(ExpectedCalls(L"Plant 7 & Co", L"j.smith", time), lines);
    EXPECT_EQ(1, applicationsMade);
    EXPECT_EQ(0, fault::LiveProxies()) << "every object is released";
    EXPECT_EQ(1u, kept.size()) << "the application is released";
    EXPECT_NE(std::wstring::npos, trace.text().find(L">>>> Enter CExcelApp::OpenFile()")) << trace.text().c_str();
}

TEST_F(TaskListReport, LooksEachMemberNameUpOnceOnTheFirstObjectItMeets) {
    ASSERT_EQ(S_OK, Report());
    // Each with IID_NULL, one name, LOCALE_USER_DEFAULT.
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Application.Visible", L"Application.UserControl", L"Application.Workbooks", L"Workbooks.Add",
                  L"Workbook.Sheets", L"Sheets.Item", L"Sheet1.Range", L"Sheet1!A1.Value", L"Sheet1!D1.ColumnWidth",
                  L"Sheet2!A1.Resize", L"Sheet2!A1.Resize(1,3).Font", L"Sheet2!A1.Resize(1,3).Font.Bold"}),
              Lookups());
}

TEST_F(TaskListReport, BlocksAreOneBasedTextArraysInColumnSetOrderPaddedToTheTaskCount) {
    // The user dragged the last column to the front: the report keeps the column set's order.
    list.SetColumnOrder({2, 0, 1});
    ASSERT_EQ((std::vector<int>{2, 0, 1}), list.ColumnOrder());
    ASSERT_EQ(S_OK, Report(5));

    EXPECT_TRUE(Called(L"Sheet2!A1.Resize(1,3) put Value = VT_ARRAY|VT_VARIANT [1..1,1..3]"));
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{kColumns}), Texts(2, 1, 1, 3));
    EXPECT_TRUE(Called(L"Sheet2!A2.Resize(5,3) put Value = VT_ARRAY|VT_VARIANT [1..5,1..3]"));
    std::vector<std::vector<std::wstring>> expected = {
        {L"Update P-101", L"P-101", L""},
        {L"Manual Check seals", longText, L"Deleted"},
        {L"", L"", L""},
        {L"", L"", L""},
        {L"", L"", L""},
    };
    EXPECT_EQ(expected, Texts(2, 2, 5, 3)) << "empty cells are empty texts, not empty VARIANTs";
}

TEST_F(TaskListReport, WithoutAWorkspaceTheNameIsEmptyAndTheUserIsTheSystems) {
    ASSERT_EQ(S_OK, ReportTaskList(list.list(), kColumns, 2, nullptr, ReportNotice::Silent));
    EXPECT_EQ(L"Sheet1!E1 put Value = VT_BSTR \"\"", Calls()[17]);
    EXPECT_EQ(L"Sheet1!E2 put Value = VT_BSTR \"" + SystemUserName() + L"\"", Calls()[19]);
}

TEST_F(TaskListReport, AMissingSheetLeavesTheCoverAndFailsEveryStepThatNeedsIt) {
    FaultPlan::Get().Arm(L"Excel Sheets::Invoke(Item)", 2, DISP_E_BADINDEX);  // a workbook of one sheet
    EXPECT_EQ(E_FAIL, Report()) << "the last step, the data block's Value, had no range to call";
    std::vector<std::wstring> lines = Calls();
    ASSERT_EQ(23u, lines.size()) << "nothing is called on the objects that were not obtained";
    std::vector<std::wstring> expected = ExpectedCalls(L"Plant 7 & Co", L"j.smith", TimeWritten());
    expected.resize(23);
    EXPECT_EQ(expected, lines);
    const std::vector<FaultEvent>& events = FaultPlan::Get().Events();
    auto item = std::find_if(events.begin(), events.end(), [](const FaultEvent& e) { return e.call == L"Sheets get Item(VT_I4 2)"; });
    ASSERT_NE(events.end(), item);
    EXPECT_EQ(DISP_E_BADINDEX, item->result);
    EXPECT_EQ(0, fault::LiveProxies());
}

TEST_F(TaskListReport, TheResultIsTheStepRecordedLast) {
    // A failure in the middle is followed by steps that succeed.
    FaultPlan::Get().ArmCall(L"Sheet1!D1 put ColumnWidth = VT_I4 30", DISP_E_EXCEPTION);
    EXPECT_EQ(S_OK, Report());
    EXPECT_TRUE(FaultPlan::Get().Fired());
    EXPECT_EQ(32u, Calls().size()) << "the report goes on after a failed step";

    // The last step fails: its HRESULT and its error information are the report's.
    FaultPlan::Get().Start();
    FaultPlan::Get().ArmCall(L"Sheet2!A2.Resize(4,3) put Value = VT_ARRAY|VT_VARIANT [1..4,1..3]", HRESULT(0x800A03EC));
    ClearThreadError();
    EXPECT_EQ(HRESULT(0x800A03EC), Report());
    ThreadError error = TakeThreadError();
    EXPECT_TRUE(error.present);
    EXPECT_EQ(FaultPlan::InjectedDescription(L"Excel Range::Invoke(Value)"), error.description);
}

TEST_F(TaskListReport, AFailedStepDoesNotTakeAnOlderErrorOfTheThread) {
    PlantThreadError(L"Elsewhere", L"an older failure");
    // Fails without leaving error information of its own.
    FaultPlan::Get().SetErrorInfoLeft(ErrorInfoLeft::Untouched);
    FaultPlan::Get().ArmCall(L"Sheet2!A2.Resize(4,3) put Value = VT_ARRAY|VT_VARIANT [1..4,1..3]", E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, Report());
    ThreadError error = TakeThreadError();
    EXPECT_FALSE(error.present) << error.description.c_str();
}

TEST_F(TaskListReport, UnregisteredSpreadsheetFailsWithoutACallAndTellsTheUserWhy) {
    progId.Remove();
    {
        DialogDriver driver;
        EXPECT_EQ(E_FAIL, Report(4, ReportNotice::Silent));
        EXPECT_TRUE(driver.boxes().empty());
    }
    DialogDriver driver;
    driver.Answer(IDOK);
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    EXPECT_EQ(0, applicationsMade);
    EXPECT_TRUE(Lookups().empty());
    EXPECT_TRUE(Calls().empty());
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_FALSE(driver.watchdogFired());
    const ShownMessageBox& box = driver.boxes()[0];
    EXPECT_EQ(L"To Do List", box.title);
    EXPECT_EQ(SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotRegistered, CO_E_CLASSSTRING), box.text);
    EXPECT_EQ(0u, box.text.find(L"The report could not be made: the spreadsheet application \"Excel.Application\" is not "
                                L"available.\n\nIt is not registered on this computer.\n"));
    EXPECT_EQ(list.window(), box.owner) << "owned by the window that holds the list";
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION), box.style);
}

TEST_F(TaskListReport, ASpreadsheetThatCannotStartIsReportedWithItsReason) {
    // {0E3E6B9A-5C1D-4F1B-8E63-6C3F2A9D0B11}: a class nobody registered.
    const CLSID nowhere = {0x0e3e6b9a, 0x5c1d, 0x4f1b, {0x8e, 0x63, 0x6c, 0x3f, 0x2a, 0x9d, 0x0b, 0x11}};
    progId.PointTo(nowhere);
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(L"Excel.Application", &clsid));
    winkit::ComPtr<IDispatch> none;
    HRESULT cause = CoCreateInstance(nowhere, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, none.put_void());
    ASSERT_TRUE(FAILED(cause));

    DialogDriver driver;
    driver.Answer(IDOK);
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotStarted, cause), driver.boxes()[0].text);
}

TEST_F(TaskListReport, UnreadableWorkbooksEndTheReportAndAreReported) {
    FaultPlan::Get().ArmCall(L"Application get Workbooks()", RPC_E_SERVERFAULT);
    DialogDriver driver;
    driver.Answer(IDOK);
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    EXPECT_EQ((std::vector<std::wstring>{L"Application put Visible = VT_BOOL -1", L"Application put UserControl = VT_BOOL -1",
                                         L"Application get Workbooks()"}),
              Calls());
    EXPECT_EQ(0, fault::LiveProxies());
    ASSERT_EQ(1u, driver.boxes().size());
    EXPECT_EQ(SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NoWorkbooks, RPC_E_SERVERFAULT), driver.boxes()[0].text);
}

TEST(TaskListReportMessage, SaysWhyAndGivesTheSystemsTextWithTheCode) {
    const std::wstring start =
        L"The report could not be made: the spreadsheet application \"Excel.Application\" is not available.\n\n";
    // A code the system has a text for: the text, then the code.
    std::wstring denied = HResultMessage(E_ACCESSDENIED);
    ASSERT_EQ(std::wstring::npos, denied.find(L"0x80070005"));
    EXPECT_EQ(start + L"It could not be started.\n" + denied + L" (0x80070005)",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotStarted, E_ACCESSDENIED));
    // A code without a text: the code once.
    const HRESULT unknown = 0x8004F00D;
    ASSERT_EQ(L"Unknown error 0x8004F00D", HResultMessage(unknown));
    EXPECT_EQ(start + L"It is not registered on this computer.\nUnknown error 0x8004F00D",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotRegistered, unknown));
    EXPECT_EQ(start + L"It did not give access to its workbooks.\nUnknown error 0x8004F00D",
              SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NoWorkbooks, unknown));
}

TEST_F(TaskListReport, FailuresAfterTheApplicationWasReachedShowNoMessage) {
    FaultPlan::Get().Arm(L"Excel Sheets::Invoke(Item)", 2, DISP_E_BADINDEX);  // a workbook of one sheet
    DialogDriver driver;
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    EXPECT_TRUE(driver.boxes().empty());
}
