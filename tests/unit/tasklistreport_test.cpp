// The To Do list report against a recording stand-in of the spreadsheet application:
// the exact calls and their order, the two cell blocks, the id caches, the failure rules
// and what the user is told when the application cannot be reached.
#include <gtest/gtest.h>
#include "diagnostics/hresulttext.h"
#include "support/errorinfo_helpers.h"
#include "support/fake_spreadsheet.h"
#include "support/fake_workspace.h"
#include "support/message_box_answerer.h"
#include "support/progid_override.h"
#include "support/test_list_view.h"
#include "support/trace_capture.h"
#include "tasklistreport.h"
#include "userstamp.h"
#include "winkit/com_ptr.h"

namespace {

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
        ASSERT_EQ(S_OK, registered.registration());
        progId.PointTo(CLSID_FakeSpreadsheet);
        workspace->workspaceName = L"Plant 7 & Co";
        workspace->userName = L"j.smith";
        list.AddRow({L"Update P-101", L"P-101", L""});
        list.AddRow({L"Manual Check seals", longText, L"Deleted"});
    }

    HRESULT Report(size_t tasks = 4, ReportNotice notice = ReportNotice::Silent) {
        return ReportTaskList(list.list(), kColumns, tasks, workspace.get(), notice);
    }
    const CallRecord* FindCall(const std::wstring& object, const std::wstring& member) const {
        for (const CallRecord& call : model->calls)
            if (call.object == object && call.member == member) return &call;
        return nullptr;
    }

    std::shared_ptr<FakeSpreadsheet> model = std::make_shared<FakeSpreadsheet>();
    FakeSpreadsheetClass registered{model};
    ProgIdOverride progId{L"Excel.Application"};
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

    std::vector<std::wstring> lines = model->Lines();
    ASSERT_EQ(32u, lines.size());
    const ArgumentRecord* time = model->calls[21].PutValue();
    ASSERT_TRUE(time);
    EXPECT_TRUE(time->text == before || time->text == after) << time->text.c_str();
    EXPECT_EQ(ExpectedCalls(L"Plant 7 & Co", L"j.smith", time->text), lines);
    for (const CallRecord& call : model->calls) {
        EXPECT_EQ(static_cast<LCID>(LOCALE_SYSTEM_DEFAULT), call.locale);
        EXPECT_FALSE(call.exceptionInfoGiven);
        EXPECT_FALSE(call.argumentErrorGiven);
    }
    EXPECT_EQ(1, model->applicationsMade);
    EXPECT_EQ(0, model->liveObjects) << "every object is released";
    EXPECT_NE(std::wstring::npos, trace.text().find(L">>>> Enter CExcelApp::OpenFile()")) << trace.text().c_str();
}

TEST_F(TaskListReport, LooksEachMemberNameUpOnceOnTheFirstObjectItMeets) {
    ASSERT_EQ(S_OK, Report());
    std::vector<std::wstring> looked;
    for (const NameLookup& lookup : model->lookups) {
        looked.push_back(lookup.object + L"." + lookup.name);
        EXPECT_TRUE(lookup.nullInterface);
        EXPECT_EQ(1u, lookup.count);
        EXPECT_EQ(static_cast<LCID>(LOCALE_USER_DEFAULT), lookup.locale);
    }
    EXPECT_EQ((std::vector<std::wstring>{
                  L"Application.Visible", L"Application.UserControl", L"Application.Workbooks", L"Workbooks.Add",
                  L"Workbook.Sheets", L"Sheets.Item", L"Sheet1.Range", L"Sheet1!A1.Value", L"Sheet1!D1.ColumnWidth",
                  L"Sheet2!A1.Resize", L"Sheet2!A1.Resize(1,3).Font", L"Sheet2!A1.Resize(1,3).Font.Bold"}),
              looked);
}

TEST_F(TaskListReport, BlocksAreOneBasedTextArraysInColumnSetOrderPaddedToTheTaskCount) {
    // The user dragged the last column to the front: the report keeps the column set's order.
    list.SetColumnOrder({2, 0, 1});
    ASSERT_EQ((std::vector<int>{2, 0, 1}), list.ColumnOrder());
    ASSERT_EQ(S_OK, Report(5));

    const CallRecord* header = FindCall(L"Sheet2!A1.Resize(1,3)", L"Value");
    ASSERT_TRUE(header);
    const ArgumentRecord* names = header->PutValue();
    ASSERT_TRUE(names);
    EXPECT_EQ(VT_ARRAY | VT_VARIANT, names->type);
    EXPECT_EQ(2u, names->dimensions);
    EXPECT_TRUE(names->allTexts);
    EXPECT_EQ((std::vector<std::vector<std::wstring>>{kColumns}), names->cells);

    const CallRecord* data = FindCall(L"Sheet2!A2.Resize(5,3)", L"Value");
    ASSERT_TRUE(data);
    const ArgumentRecord* texts = data->PutValue();
    ASSERT_TRUE(texts);
    EXPECT_EQ(2u, texts->dimensions);
    EXPECT_EQ(1, texts->rowLower);
    EXPECT_EQ(5, texts->rowUpper);
    EXPECT_EQ(1, texts->columnLower);
    EXPECT_EQ(3, texts->columnUpper);
    EXPECT_TRUE(texts->allTexts) << "empty cells are empty texts, not empty VARIANTs";
    std::vector<std::vector<std::wstring>> expected = {
        {L"Update P-101", L"P-101", L""},
        {L"Manual Check seals", longText, L"Deleted"},
        {L"", L"", L""},
        {L"", L"", L""},
        {L"", L"", L""},
    };
    EXPECT_EQ(expected, texts->cells);
}

TEST_F(TaskListReport, WithoutAWorkspaceTheNameIsEmptyAndTheUserIsTheSystems) {
    ASSERT_EQ(S_OK, ReportTaskList(list.list(), kColumns, 2, nullptr, ReportNotice::Silent));
    EXPECT_EQ(L"Sheet1!E1 put Value = VT_BSTR \"\"", model->calls[17].Line());
    EXPECT_EQ(L"Sheet1!E2 put Value = VT_BSTR \"" + SystemUserName() + L"\"", model->calls[19].Line());
}

TEST_F(TaskListReport, AMissingSheetLeavesTheCoverAndFailsEveryStepThatNeedsIt) {
    model->sheetCount = 1;  // a workbook of one sheet: Sheets.Item(2) fails
    EXPECT_EQ(E_FAIL, Report()) << "the last step, the data block's Value, had no range to call";
    std::vector<std::wstring> lines = model->Lines();
    ASSERT_EQ(23u, lines.size()) << "nothing is called on the objects that were not obtained";
    std::vector<std::wstring> expected = ExpectedCalls(L"Plant 7 & Co", L"j.smith", model->calls[21].PutValue()->text);
    expected.resize(23);
    EXPECT_EQ(expected, lines);
    EXPECT_EQ(DISP_E_BADINDEX, model->calls[22].result);
    EXPECT_EQ(0, model->liveObjects);
}

TEST_F(TaskListReport, TheResultIsTheStepRecordedLast) {
    // A failure in the middle is followed by steps that succeed.
    model->failure = [](const CallRecord& call) {
        return call.object == L"Sheet1!D1" && call.member == L"ColumnWidth" ? DISP_E_EXCEPTION : S_OK;
    };
    EXPECT_EQ(S_OK, Report());
    EXPECT_EQ(32u, model->calls.size()) << "the report goes on after a failed step";

    // The last step fails: its HRESULT and its error information are the report's.
    model->calls.clear();
    model->failureDescription = L"The range cannot take this array";
    model->failure = [](const CallRecord& call) {
        return call.object == L"Sheet2!A2.Resize(4,3)" && call.member == L"Value" ? HRESULT(0x800A03EC) : S_OK;
    };
    ClearThreadError();
    EXPECT_EQ(HRESULT(0x800A03EC), Report());
    ThreadError error = TakeThreadError();
    EXPECT_TRUE(error.present);
    EXPECT_EQ(L"The range cannot take this array", error.description);
}

TEST_F(TaskListReport, AFailedStepDoesNotTakeAnOlderErrorOfTheThread) {
    PlantThreadError(L"Elsewhere", L"an older failure");
    model->failure = [](const CallRecord& call) {
        // Fails without leaving error information of its own.
        return call.object == L"Sheet2!A2.Resize(4,3)" && call.member == L"Value" ? E_ACCESSDENIED : S_OK;
    };
    model->failureDescription.clear();
    EXPECT_EQ(E_ACCESSDENIED, Report());
    ThreadError error = TakeThreadError();
    EXPECT_FALSE(error.present) << error.description.c_str();
}

TEST_F(TaskListReport, UnregisteredSpreadsheetFailsWithoutACallAndTellsTheUserWhy) {
    progId.Remove();
    {
        MessageBoxAnswerer answerer;
        EXPECT_EQ(E_FAIL, Report(4, ReportNotice::Silent));
        EXPECT_TRUE(answerer.boxes().empty());
    }
    MessageBoxAnswerer answerer;
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    EXPECT_EQ(0, model->applicationsMade);
    EXPECT_TRUE(model->lookups.empty());
    EXPECT_TRUE(model->calls.empty());
    ASSERT_EQ(1u, answerer.boxes().size());
    EXPECT_FALSE(answerer.watchdogFired());
    const ShownMessageBox& box = answerer.boxes()[0];
    EXPECT_EQ(L"To Do List", box.title);
    EXPECT_EQ(SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotRegistered, CO_E_CLASSSTRING), box.text);
    EXPECT_EQ(0u, box.text.find(L"The report could not be made: the spreadsheet application \"Excel.Application\" is not "
                                L"available.\n\nIt is not registered on this computer.\n"));
    EXPECT_EQ(list.window(), box.owner) << "owned by the window that holds the list";
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

    MessageBoxAnswerer answerer;
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    ASSERT_EQ(1u, answerer.boxes().size());
    EXPECT_EQ(SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NotStarted, cause), answerer.boxes()[0].text);
}

TEST_F(TaskListReport, UnreadableWorkbooksEndTheReportAndAreReported) {
    model->failure = [](const CallRecord& call) { return call.member == L"Workbooks" ? RPC_E_SERVERFAULT : S_OK; };
    MessageBoxAnswerer answerer;
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    EXPECT_EQ((std::vector<std::wstring>{L"Application put Visible = VT_BOOL -1", L"Application put UserControl = VT_BOOL -1",
                                         L"Application get Workbooks()"}),
              model->Lines());
    EXPECT_EQ(0, model->liveObjects);
    ASSERT_EQ(1u, answerer.boxes().size());
    EXPECT_EQ(SpreadsheetUnreachableMessage(SpreadsheetUnreachable::NoWorkbooks, RPC_E_SERVERFAULT), answerer.boxes()[0].text);
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
    model->sheetCount = 1;
    MessageBoxAnswerer answerer;
    EXPECT_EQ(E_FAIL, Report(4, ReportNotice::TellUserWhenUnreachable));
    EXPECT_TRUE(answerer.boxes().empty());
}
