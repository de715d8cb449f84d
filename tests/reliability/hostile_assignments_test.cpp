// Hostile assignments documents as the answer to GetTaskAssignments, through the real To
// Do List: Properties of an Update task fetches the document and the Create page reads
// it into its tree. None may crash or hang; the tree shows the whole document when it
// reads, or nothing, and what a save sends back is the task's own document.
#include "hostile_fixture.h"
#include "itempropertytree.h"
#include "res/taskpropertiesres.h"

namespace {

struct AssignmentsCase {
    std::wstring name;
    std::wstring document;
    std::vector<std::wstring> rows;  // every row of the fully expanded tree, top to bottom
};

// An Update task numbered 1 whose properties the tests open.
std::wstring UpdateTaskList() {
    return L"<TaskItemList>" + std::wstring(kAllPrivileges) +
           L"<TaskItem ToDo_Index=\"1\" ToDo_Name=\"XV-1\" ToDo_Category=\"2\" ToDo_Class=\"Valve\"/></TaskItemList>";
}

std::wstring Property(const std::wstring& name, const std::wstring& more = L"") {
    return L"<A I=\"" + name + L"\" V=\"1\" O=\"0\" U=\"\" S=\"0\" C=\"0\"" + (more.empty() ? L"" : L" " + more) + L"/>";
}

std::wstring Object(const std::wstring& tag, const std::wstring& inside, const std::wstring& x = L"1") {
    return L"<O X=\"" + x + L"\" U=\"\" I=\"\" N=\"" + tag + L"\" C=\"Valve\">" + inside + L"</O>";
}

// The valve: two properties and a child object with one of its own.
std::wstring Valve() { return Object(L"XV-1", Property(L"Size") + Property(L"Rating") + Object(L"A-1", Property(L"Stroke"), L"2")); }
const std::vector<std::wstring> kValveRows = {L"Size", L"Rating", L"A-1 (Valve)", L"Stroke"};

std::vector<AssignmentsCase> MalformedCases() {
    std::wstring open = L"<O X=\"1\" U=\"\" I=\"\" N=\"XV-1\" C=\"Valve\">" + Property(L"Size");
    return {
        {L"empty", L"", {}},
        {L"white space only", L"\r\n \t", {}},
        {L"text only", L"assignments", {}},
        {L"no end tag", open, {}},
        {L"cut inside an attribute", open + L"<A I=\"Rat", {}},
        {L"wrong end tag", open + L"</A>", {}},
        {L"two top objects", Valve() + Valve(), {}},
        {L"bare ampersand", Object(L"XV-1", Property(L"S & R")), {}},
        {L"control character", Object(L"XV-1", Property(L"S\x0002")), {}},
        {L"reference to NUL", Object(L"XV-1", Property(L"S&#0;")), {}},
        {L"lone surrogate", Object(L"XV-1", Property(L"S\xDC00")), {}},
        {L"NUL inside the text", Valve().substr(0, 40) + L'\0' + Valve().substr(40), {}},
        {L"attribute twice", Object(L"XV-1", Property(L"Size", L"I=\"again\"")), {}},
    };
}

std::vector<AssignmentsCase> ContentCases() {
    return {
        {L"well-formed", Valve(), kValveRows},
        {L"declaration, comments and instructions",
         L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><!-- c --><?pi x?>" + Valve() + L"<!-- after -->", kValveRows},
        {L"undeclared elements, attributes and text",
         Object(L"XV-1", L"text<Extra><A I=\"hidden\"/></Extra>" + Property(L"Size", L"Unknown=\"u\"") +
                             L"<![CDATA[<A I=\"cdata\"/>]]>" + Property(L"Rating") +
                             Object(L"A-1", Property(L"Stroke"), L"2")),
         kValveRows},
        {L"references in names", Object(L"&lt;XV&gt; &amp; &#x4E2D;", Property(L"&quot;Size&quot;")),
         {L"\"Size\""}},
        {L"wrong types and codes", Object(L"XV-1", L"<A I=\"Size\" V=\"1\" O=\"0\" U=\"\" S=\"maybe\" C=\"-7\"/>"
                                                   L"<A I=\"Rating\" V=\"\" O=\"\" U=\"\" S=\"99\" C=\"2147483648\"/>",
                                          L"abc"),
         {L"Size", L"Rating"}},
        {L"a top object without properties", Object(L"XV-1", L""), {}},
        {L"properties outside any object", Property(L"Size") + Property(L"Rating"), {}},
        {L"another document element", L"<Assignments>" + Valve() + L"</Assignments>", {}},
    };
}

class HostileAssignments : public HostileListTest {
protected:
    // Opens the Update task's properties with `document` as its assignments and runs
    // `onPage` with the tree's list once every row is expanded.
    void Properties(const std::wstring& document, const std::function<void(HWND dialog, HWND tree)>& onPage,
                    double seconds = 30) {
        script.outputs[L"GetTaskAssignments"] = document;
        Open(UpdateTaskList(), [&](CTaskListDlg& list) {
            Select(list, {0});
            bool shown = false;
            WhenDialogShown(L"Task Properties - Update Task", [&](HWND dialog) {
                shown = true;
                HWND tree = FindControl(dialog, IDC_TASKCREATE_PROPERTIES);
                ASSERT_NE(nullptr, tree);
                ExpandAll(tree);
                onPage(dialog, tree);
                if (::IsWindow(dialog)) ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            });
            ::SendMessageW(list.hwnd(), WM_COMMAND, IDC_TASKLIST_PROPERTIES, 0);
            EXPECT_TRUE(shown);
        }, seconds);
        ++documents;
    }

    void Check(const std::vector<AssignmentsCase>& cases) {
        for (const AssignmentsCase& c : cases) {
            SCOPED_TRACE(testing::PrintToString(c.name));
            Properties(c.document, [&](HWND, HWND tree) { EXPECT_EQ(c.rows, Rows(tree)); });
        }
        std::cout << "[ documents ] GetTaskAssignments: " << documents << std::endl;
    }

    // A control of one of the property dialog's pages.
    static HWND FindControl(HWND dialog, int id) { return ::GetDlgItem(PageWith(dialog, id), id); }

    static int RowCount(HWND tree) { return static_cast<int>(::SendMessageW(tree, LVM_GETITEMCOUNT, 0, 0)); }

    // Keypad + on every object row from the top: each object opens right below itself.
    static void ExpandAll(HWND tree) {
        int selected = -1;
        for (int row = 0; row < RowCount(tree); ++row) {
            LVITEMW item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = row;
            ::SendMessageW(tree, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            if (item.iImage != ItemPropertyRow::kObjectImage) continue;
            item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            item.state = 0;
            if (selected >= 0)
                ::SendMessageW(tree, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&item));
            item.state = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageW(tree, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            selected = row;
            ::SendMessageW(tree, WM_KEYDOWN, VK_ADD, 0);
        }
    }

    static std::vector<std::wstring> Rows(HWND tree) {
        std::vector<std::wstring> rows;
        for (int row = 0; row < RowCount(tree); ++row) {
            wchar_t text[256] = {};
            LVITEMW item = {};
            item.pszText = text;
            item.cchTextMax = 256;
            ::SendMessageW(tree, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
            rows.push_back(text);
        }
        return rows;
    }

    // What "SetTaskAssignments" was given, one text per request, in order.
    std::vector<std::wstring> SentAssignments() const {
        std::vector<std::wstring> sent;
        std::wstring method;
        for (const std::wstring& call : script.log->calls) {
            if (call.rfind(L"SetMethod ", 0) == 0) method = call.substr(10);
            if (call.rfind(L"SetInput ", 0) == 0 && method == L"SetTaskAssignments") sent.push_back(call.substr(9));
        }
        return sent;
    }

    int documents = 0;
};

} // namespace

TEST_F(HostileAssignments, MalformedDocumentsShowNothing) { Check(MalformedCases()); }

TEST_F(HostileAssignments, ForeignContentIsPassedOverAndOddValuesStayText) { Check(ContentCases()); }

TEST_F(HostileAssignments, DeclarationsAreRefusedAndTheNamedFileIsNeverRead) {
    CanaryFile canary;
    ASSERT_TRUE(canary.ReadsAreNoticed()) << "this file system does not show reads; the check would mean nothing";
    DocumentBody body = [](const std::wstring& value, const std::wstring& content) {
        return L"<O X=\"1\" U=\"\" I=\"\" N=\"XV-1\" C=\"Valve\"><A I=\"" + value + L"\" V=\"1\" O=\"0\" U=\"\" S=\"0\" C=\"0\">" +
               content + L"</A></O>";
    };
    for (const NamedDocument& document : DeclarationDocuments(L"O", body, canary.Url())) {
        SCOPED_TRACE(testing::PrintToString(document.name));
        Properties(document.text, [](HWND, HWND tree) { EXPECT_EQ(0, RowCount(tree)); }, 5);
    }
    for (const NamedDocument& document : ReferenceDocuments(body, canary.Url())) {
        SCOPED_TRACE(testing::PrintToString(document.name));
        Properties(document.text, [&](HWND, HWND tree) {
            for (const std::wstring& row : Rows(tree)) EXPECT_EQ(std::wstring::npos, row.find(canary.Marker()));
        }, 5);
    }
    EXPECT_FALSE(canary.WasRead());
    std::cout << "[ documents ] GetTaskAssignments: " << documents << " with declarations or references" << std::endl;
}

TEST_F(HostileAssignments, HugeAndDeepDocuments) {
    // Twenty thousand properties: all listed.
    Properties(Object(L"XV-1", Repeated(Property(L"p"), 20000)), [](HWND, HWND tree) { EXPECT_EQ(20000, RowCount(tree)); }, 60);

    // Objects nested 200 deep open one below the other.
    std::wstring nested = Property(L"leaf");
    for (int level = 0; level < 200; ++level) nested = Object(L"o", nested, std::to_wstring(level + 2));
    Properties(Object(L"XV-1", nested), [](HWND, HWND tree) {
        std::vector<std::wstring> rows = Rows(tree);
        ASSERT_EQ(201u, rows.size());
        EXPECT_EQ(L"o (Valve)", rows.front());
        EXPECT_EQ(L"leaf", rows.back());
    }, 60);

    // Past what the reader takes: nothing, and nothing broken.
    Properties(Nested(L"O", L"X=\"1\" N=\"deep\"", 100000), [](HWND, HWND tree) { EXPECT_EQ(0, RowCount(tree)); }, 60);
    Properties(Object(L"XV-1", Property(std::wstring(11 * 1024 * 1024, L'v'))),
               [](HWND, HWND tree) { EXPECT_EQ(0, RowCount(tree)); }, 60);

    // A long name is kept whole; the row shows its start.
    std::wstring longName(100000, L'n');
    Properties(Object(L"XV-1", Property(longName)), [&](HWND, HWND tree) {
        ASSERT_EQ(1, RowCount(tree));
        EXPECT_EQ(std::wstring(255, L'n'), Rows(tree).front());
    }, 60);
    std::cout << "[ documents ] GetTaskAssignments: " << documents << " huge or deep" << std::endl;
}

TEST_F(HostileAssignments, ASaveSendsAnUnreadableDocumentBackAsItCameAndARebuiltOneWithTheTasksIndex) {
    const std::wstring unreadable = L"<O X=\"1\" N=\"XV-1\"><A I=\"Size\"";
    Properties(unreadable, [](HWND dialog, HWND tree) {
        EXPECT_EQ(0, RowCount(tree));
        HWND notes = FindControl(dialog, IDC_TASKGENERAL_NOTES);
        ::SetWindowTextW(notes, L"changed");
        ::SendMessageW(::GetParent(notes), WM_COMMAND, MAKEWPARAM(IDC_TASKGENERAL_NOTES, EN_CHANGE),
                       reinterpret_cast<LPARAM>(notes));
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ((std::vector<std::wstring>{unreadable}), SentAssignments());

    script.log->calls.clear();
    // A document numbered for another task goes back numbered for this one.
    Properties(Object(L"XV-1", Property(L"Size"), L"77"), [](HWND dialog, HWND tree) {
        ASSERT_EQ(1, RowCount(tree));
        RECT bounds = {LVIR_BOUNDS};
        ::SendMessageW(tree, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds));
        NMITEMACTIVATE note = {};
        note.hdr.hwndFrom = tree;
        note.hdr.idFrom = IDC_TASKCREATE_PROPERTIES;
        note.hdr.code = NM_DBLCLK;
        note.iItem = 0;
        note.ptAction = POINT{bounds.left + 60, (bounds.top + bounds.bottom) / 2};  // switches the row's flag
        ::SendMessageW(::GetParent(tree), WM_NOTIFY, IDC_TASKCREATE_PROPERTIES, reinterpret_cast<LPARAM>(&note));
        ::SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    std::vector<std::wstring> sent = SentAssignments();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(0u, sent[0].find(L"<O X=\"1\"")) << testing::PrintToString(sent[0]);
}
