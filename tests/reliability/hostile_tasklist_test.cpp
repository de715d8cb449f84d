// Hostile TaskItemList documents as the answer to GetTaskList, through the real To Do
// List: the fetch, TaskItemCollection::Load and the rows. None may crash or hang; the
// list shows the tasks the document validly holds (those completed before a break), or
// nothing, and each row's commands act on the task the row shows.
#include "hostile_fixture.h"

namespace {

struct ListCase {
    std::wstring name;
    std::wstring document;
    std::vector<ListedRow> rows;
    bool orNothing = false;  // a reader may refuse the whole document instead
};

const ListedRow kA{1, L"Manual a", L"Open"};
const ListedRow kB{2, L"Manual b", L"Open"};

std::wstring List(const std::wstring& inside) { return L"<TaskItemList>\n" + std::wstring(kAllPrivileges) + inside + L"</TaskItemList>"; }

std::wstring AB() { return TaskLine(1, L"a") + TaskLine(2, L"b"); }

std::vector<ListCase> MalformedCases() {
    std::wstring open = L"<TaskItemList>\n" + std::wstring(kAllPrivileges) + TaskLine(1, L"a");
    std::wstring withNul = open + L'\0' + TaskLine(2, L"b") + L"</TaskItemList>";
    return {
        {L"empty", L"", {}},
        {L"white space only", L" \r\n\t ", {}},
        {L"text only", L"tasks", {}},
        {L"a byte order mark only", L"\xFEFF", {}},
        {L"no end tag", open, {kA}},
        {L"cut inside an attribute", open + L"<TaskItem ToDo_Index=\"2\" ToDo_Na", {kA}},
        {L"cut inside a tag name", open + L"<TaskIt", {kA}},
        {L"wrong end tag", open + L"</TaskList>", {kA}},
        {L"two document elements", List(TaskLine(1, L"a")) + List(TaskLine(2, L"b")), {kA}},
        {L"markup after the document element", List(TaskLine(1, L"a")) + TaskLine(2, L"b"), {kA}},
        {L"unquoted value", List(L"<TaskItem ToDo_Index=1 ToDo_Name=\"a\"/>"), {}},
        {L"attribute twice", List(TaskLine(1, L"a", L"ToDo_Name=\"again\"")), {}},
        {L"bare ampersand", open + TaskLine(2, L"b & c") + L"</TaskItemList>", {kA}},
        {L"less-than in a value", open + TaskLine(2, L"b<c") + L"</TaskItemList>", {kA}},
        {L"control character", open + TaskLine(2, L"b\x0001") + L"</TaskItemList>", {kA}},
        {L"reference to NUL", open + TaskLine(2, L"b&#0;") + L"</TaskItemList>", {kA}},
        {L"reference to U+FFFE", open + TaskLine(2, L"b&#xFFFE;") + L"</TaskItemList>", {kA}},
        {L"lone surrogate", open + TaskLine(2, L"b\xD800") + L"</TaskItemList>", {kA}},
        {L"NUL inside the text", withNul, {kA}},
        {L"root is a TaskItem", TaskLine(1, L"a"), {}},
    };
}

std::vector<ListCase> FramingCases() {
    return {
        {L"UTF-16 byte order mark", L"\xFEFF" + List(AB()), {kA, kB}},
        {L"declaration naming UTF-8", L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + List(AB()), {kA, kB}},
        {L"declaration naming UTF-16", L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + List(AB()), {kA, kB}},
        // A text handed over as UTF-16 naming a single-byte encoding: Wine's reader refuses it.
        {L"declaration naming ISO-8859-1", L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + List(AB()), {kA, kB}, true},
        {L"white space before the declaration", L"\r\n  <?xml version=\"1.0\"?>" + List(AB()), {kA, kB}},
        {L"CDATA and text inside tasks",
         List(L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"a\" ToDo_Category=\"5\"><![CDATA[<TaskItem ToDo_Index=\"9\" "
              L"ToDo_Name=\"hidden\"/>]]>text &amp; more</TaskItem>\n" + TaskLine(2, L"b")),
         {kA, kB}},
        {L"comments and instructions everywhere",
         L"<!-- before --><?pi before?>" +
             List(L"<!-- <TaskItem ToDo_Index=\"9\" ToDo_Name=\"hidden\"/> --><?pi x?>" + TaskLine(1, L"a") +
                  L"<?pi y?><!---->" + TaskLine(2, L"b")) +
             L"<!-- after --><?pi after?>",
         {kA, kB}},
        {L"namespace prefix", L"<q:TaskItemList xmlns:q=\"urn:q\"><q:TaskItem ToDo_Index=\"1\" ToDo_Name=\"a\" "
                              L"ToDo_Category=\"5\"/></q:TaskItemList>",
         {kA}},
        {L"default namespace", L"<TaskItemList xmlns=\"urn:other\">" + AB() + L"</TaskItemList>", {kA, kB}},
        {L"undeclared elements and attributes",
         List(L"<Extra><TaskItem ToDo_Index=\"9\" ToDo_Name=\"hidden\"/></Extra>" +
              TaskLine(1, L"a", L"Unknown=\"x\" q:ToDo_Status=\"2\" xmlns:q=\"urn:q\"") + TaskLine(2, L"b")),
         {{1, L"Manual a", L"Completed"}, kB}},
        {L"references", List(TaskLine(1, L"&lt;b&gt; &amp; &#x4E2D;&#20013; &#x1F600; &quot;&apos;")),
         {{1, L"Manual <b> & \x4E2D\x4E2D \xD83D\xDE00 \"'", L"Open"}}},
        {L"white space in values", List(TaskLine(1, L"a&#9;b\tc\r\nd")), {{1, L"Manual a\tb c d", L"Open"}}},
    };
}

std::vector<ListCase> ValueCases() {
    return {
        {L"letters in integers", List(L"<TaskItem ToDo_Index=\"abc\" ToDo_Name=\"a\" ToDo_Category=\"five\" ToDo_Status=\"two\"/>"),
         {{0, L"Create a", L"Open"}}},
        {L"leading numbers",
         List(TaskLine(1, L"a", L"ToDo_Status=\" 2 \"") + TaskLine(2, L"b", L"ToDo_Status=\"1e3\"") +
              TaskLine(3, L"c", L"ToDo_Status=\"+3\"") + TaskLine(4, L"d", L"ToDo_Status=\"0x4\"")),
         {{1, L"Manual a", L"Completed"}, {2, L"Manual b", L"InProgress"}, {3, L"Manual c", L"Error"}, {4, L"Manual d", L"Open"}}},
        {L"codes outside the tables",
         List(L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"a\" ToDo_Category=\"-1\" ToDo_Status=\"7\"/>\n"
              L"<TaskItem ToDo_Index=\"2\" ToDo_Name=\"b\" ToDo_Category=\"2147483648\" ToDo_Status=\"-2147483649\"/>\n"
              L"<TaskItem ToDo_Index=\"3\" ToDo_Name=\"c\" ToDo_Category=\"99999999999999999999\" ToDo_Status=\"5\"/>\n"),
         {{1, L"-1 a", L"7"}, {2, L"2147483647 b", L"-2147483648"}, {3, L"2147483647 c", L"5"}}},
        {L"empty values", List(L"<TaskItem ToDo_Index=\"\" ToDo_Name=\"\" ToDo_Category=\"\" ToDo_Status=\"\"/>"),
         {{0, L"Create ", L"Open"}}},
    };
}

std::vector<ListCase> IndexCases() {
    return {
        {L"indices 0, -5 and 99999",
         List(TaskLine(0, L"a") + TaskLine(-5, L"b") + TaskLine(99999, L"c")),
         {{0, L"Manual a", L"Open"}, {-5, L"Manual b", L"Open"}, {99999, L"Manual c", L"Open"}}},
        {L"two tasks numbered 3", List(AB() + TaskLine(3, L"c") + TaskLine(3, L"d")),
         {kA, kB, {3, L"Manual c", L"Open"}}},
        {L"two tasks numbered 1 first", List(TaskLine(1, L"a") + TaskLine(1, L"b") + TaskLine(2, L"c")),
         {kA, {2, L"Manual c", L"Open"}}},
        {L"numbered from 2", List(TaskLine(2, L"a") + TaskLine(3, L"b") + TaskLine(4, L"c")),
         {{2, L"Manual a", L"Open"}, {3, L"Manual b", L"Open"}, {4, L"Manual c", L"Open"}}},
        {L"numbered backwards", List(TaskLine(3, L"a") + TaskLine(2, L"b") + TaskLine(1, L"c")),
         {{3, L"Manual a", L"Open"}, {2, L"Manual b", L"Open"}, {1, L"Manual c", L"Open"}}},
        {L"tasks without attributes", List(L"<TaskItem/><TaskItem/><TaskItem/>"), {{0, L"Create ", L"Open"}}},
    };
}

class HostileTaskList : public HostileListTest {
protected:
    void Check(const std::vector<ListCase>& cases) {
        for (const ListCase& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.name));
            Open(c.document, [&](CTaskListDlg& dialog) {
                std::vector<ListedRow> rows = Rows(dialog);
                if (!(c.orNothing && rows.empty())) EXPECT_EQ(c.rows, rows);
            });
            ++documents;
        }
        std::cout << "[ documents ] GetTaskList: " << documents << std::endl;
    }
    int documents = 0;
};

} // namespace

TEST_F(HostileTaskList, MalformedDocumentsListTheTasksBeforeTheBreak) { Check(MalformedCases()); }

TEST_F(HostileTaskList, PrologsContentFormsAndNamespaces) { Check(FramingCases()); }

TEST_F(HostileTaskList, WrongTypesAndCodesOutsideTheTables) { Check(ValueCases()); }

TEST_F(HostileTaskList, OddAndDuplicateIndicesListOnlyTasksTheirKeyAddresses) { Check(IndexCases()); }

TEST_F(HostileTaskList, DeclarationsAreRefusedAndTheNamedFileIsNeverRead) {
    CanaryFile canary;
    ASSERT_TRUE(canary.ReadsAreNoticed()) << "this file system does not show reads; the check would mean nothing";
    DocumentBody body = [](const std::wstring& value, const std::wstring& content) {
        return L"<TaskItemList>" + std::wstring(kAllPrivileges) + L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"" + value +
               L"\" ToDo_Category=\"5\">" + content + L"</TaskItem></TaskItemList>";
    };
    std::vector<NamedDocument> documents = DeclarationDocuments(L"TaskItemList", body, canary.Url());
    for (const NamedDocument& document : documents) {
        SCOPED_TRACE(testing::PrintToString(document.name));
        Open(document.text, [&](CTaskListDlg& dialog) { EXPECT_EQ(0, TaskListDialogAccess::RowCount(dialog)); }, 5);
    }
    // Without a declaration the file may be named, but it is never fetched.
    for (const NamedDocument& document : ReferenceDocuments(body, canary.Url())) {
        SCOPED_TRACE(testing::PrintToString(document.name));
        Open(document.text, [&](CTaskListDlg& dialog) {
            for (const ListedRow& row : Rows(dialog)) EXPECT_EQ(std::wstring::npos, row.name.find(canary.Marker()));
        }, 5);
        documents.push_back(document);
    }
    EXPECT_FALSE(canary.WasRead());
    std::cout << "[ documents ] GetTaskList: " << documents.size() << " with declarations or references" << std::endl;
}

TEST_F(HostileTaskList, HugeDocuments) {
    std::wstring many = L"<TaskItemList>\n" + std::wstring(kAllPrivileges);
    many.reserve(100000 * 64);
    for (int i = 1; i <= 100000; ++i) many += TaskLine(i, L"t" + std::to_wstring(i));
    many += L"</TaskItemList>";
    Open(many, [](CTaskListDlg& dialog) {
        ASSERT_EQ(100000, TaskListDialogAccess::RowCount(dialog));
        EXPECT_EQ(1, TaskListDialogAccess::RowKey(dialog, 0));
        EXPECT_EQ(100000, TaskListDialogAccess::RowKey(dialog, 99999));
        EXPECT_EQ(L"Manual t100000", TaskListDialogAccess::List(dialog).ItemText(99999, 0));
    }, 60);

    std::wstring longName(4 * 1024 * 1024, L'n');
    Open(List(TaskLine(1, longName)), [&](CTaskListDlg& dialog) {
        ASSERT_EQ(1, TaskListDialogAccess::RowCount(dialog));
        ASSERT_EQ(1u, TaskListDialogAccess::Tasks(dialog).Count());
        EXPECT_TRUE(TaskListDialogAccess::Tasks(dialog).Items()[0].ToDo_Name == longName);
        // Reading the row back stops at a million characters; what is read is the name.
        std::wstring shown = TaskListDialogAccess::List(dialog).ItemText(0, 0);
        EXPECT_GE(shown.size(), 1000000u);
        EXPECT_TRUE((L"Manual " + longName).compare(0, shown.size(), shown) == 0);
    }, 60);

    // Past what the reader takes in one value: nothing, but nothing broken either.
    Open(List(TaskLine(1, L"a") + TaskLine(2, L"b", L"ToDo_Notes=\"" + std::wstring(11 * 1024 * 1024, L'v') + L"\"")),
         [](CTaskListDlg& dialog) { EXPECT_LE(TaskListDialogAccess::RowCount(dialog), 2); }, 60);

    std::wstring attributes;
    for (int i = 0; i < 10000; ++i) attributes += L"a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\" ";
    Open(List(TaskLine(1, L"a", attributes)), [](CTaskListDlg& dialog) { EXPECT_EQ((std::vector<ListedRow>{kA}), Rows(dialog)); }, 60);

    std::wstring oneLine = L"<TaskItemList>";
    for (int i = 1; i <= 500; ++i) oneLine += L"<TaskItem ToDo_Index=\"" + std::to_wstring(i) + L"\" ToDo_Name=\"t\"/>";
    oneLine += L"</TaskItemList>";
    Open(oneLine, [](CTaskListDlg& dialog) { EXPECT_EQ(500, TaskListDialogAccess::RowCount(dialog)); }, 60);
}

TEST_F(HostileTaskList, DeepDocuments) {
    Open(L"<TaskItemList>" + Nested(L"TaskItem", L"ToDo_Index=\"1\" ToDo_Name=\"deep\"", 100000) + L"</TaskItemList>",
         [](CTaskListDlg& dialog) { EXPECT_EQ(0, TaskListDialogAccess::RowCount(dialog)); }, 60);
    Open(List(TaskLine(1, L"a") + Nested(L"x", L"", 100000) + TaskLine(2, L"b")),
         [](CTaskListDlg& dialog) { EXPECT_EQ((std::vector<ListedRow>{kA}), Rows(dialog)); }, 60);
    Open(Nested(L"TaskItemList", L"", 100000), [](CTaskListDlg& dialog) { EXPECT_EQ(0, TaskListDialogAccess::RowCount(dialog)); }, 60);
}

TEST_F(HostileTaskList, BooleansThatAreNeitherGrantNothing) {
    Open(L"<TaskItemList><Privilege Delete=\"maybe\" Run=\"yes\" Defer=\"2\"/>" + TaskLine(1, L"a") + L"</TaskItemList>",
         [](CTaskListDlg& dialog) {
             Select(dialog, {0});
             EXPECT_TRUE(Enabled(dialog, IDC_TASKLIST_ACTION));
             EXPECT_FALSE(Enabled(dialog, IDC_TASKLIST_DEFER));
             EXPECT_FALSE(Enabled(dialog, IDC_TASKLIST_DELETE));
             EXPECT_FALSE(Enabled(dialog, IDC_TASKLIST_DELETEFROMSERVER));
             EXPECT_TRUE(Enabled(dialog, IDC_TASKLIST_PROPERTIES));
         });
}

TEST_F(HostileTaskList, HugeDocumentsNumberedOddlySortAndSelectInTime) {
    // Keys that are not the tasks' positions are looked up by value: that must not make
    // sorting or selecting a large list take time proportional to its square.
    std::wstring shifted = L"<TaskItemList>\n" + std::wstring(kAllPrivileges);
    for (int i = 1; i <= 100000; ++i) shifted += TaskLine(i + 1, L"t" + std::to_wstring(i));
    shifted += L"</TaskItemList>";
    Open(shifted, [](CTaskListDlg& dialog) {
        ASSERT_EQ(100000, TaskListDialogAccess::RowCount(dialog));
        auto start = std::chrono::steady_clock::now();
        TaskListDialogAccess::SortByColumn(dialog, 0);
        TaskListDialogAccess::SortByColumn(dialog, 0);
        EXPECT_EQ(2, TaskListDialogAccess::RowKey(dialog, TaskListDialogAccess::RowCount(dialog) - 1));
        TaskListDialogAccess::List(dialog).SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(Enabled(dialog, IDC_TASKLIST_DELETE));
        double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(took, 60) << "sorting twice and selecting every row took " << took << " s";
    }, 60);
}
