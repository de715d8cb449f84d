// The simulated host's workspace file as the reader takes it: what it keeps of each part,
// and the message a faulty file gets, a text that is not well-formed first of all.
#include <gtest/gtest.h>
#include "diagnostics/qrcomexception.h"
#include "diagnostics/qrerrorelement.h"
#include "support/errorinfo_helpers.h"
#include "workspacereader.h"

namespace {

const wchar_t kHead[] = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QRSimWorkspace Version=\"1\" Name=\"W\" User=\"PLANT\\u\">\n";

// What was read, in one line, or the failure's description.
std::wstring Read(const std::wstring& text) {
    ClearThreadError();
    try {
        sim::WorkspaceData data = sim::ReadWorkspace(text);
        std::wstring out = data.name + L"/" + data.userName + L" privileges " +
                           std::to_wstring(data.privileges.deleteTasks) + std::to_wstring(data.privileges.runTasks) +
                           std::to_wstring(data.privileges.deferTasks) + L" plant " + data.frameworkData[1];
        for (const sim::SimObject& object : data.objects)
            out += L" | object " + object.oid + L" " + object.name + (object.locked ? L" locked by " + object.lockedBy : L"");
        for (const sim::SimTask& task : data.tasks)
            out += L" | task " + task.Text(sim::TaskText::Name) + L" status " +
                   std::to_wstring(task.Integer(sim::TaskInteger::Status)) + (task.failsOnAction ? L" fails" : L"") +
                   L" [" + task.assignments + L"] [" + task.actionClaims + L"]";
        return out;
    } catch (QRComException& e) {
        QRComException scope;
        scope.Catch(QR_HERE, e);
        scope.Result();
        return FirstDesc(TakeThreadError().description);
    }
}

struct Case {
    const char* what;
    const wchar_t* body;      // after the root's start tag
    const wchar_t* expected;  // the whole reading, or the start of the message
};

const Case kCases[] = {
    {"every part",
     L"<Privileges Delete=\"1\" Run=\"0\" Defer=\"true\"><Ignored/></Privileges>\n"
     L"<FrameworkData EFPLANT=\"Plant 1\"/>\n"
     L"<Objects><Object OID=\"A1\" Name=\"P-1\" Locked=\"1\" LockedBy=\"PLANT\\k\"/><Object OID=\"A2\"/></Objects>\n"
     L"<Tasks>\n<Task ToDo_Name=\"pump &amp; valve\" ToDo_Status=\"4\" FailsOnAction=\"1\">"
     L"<Assignments>a<![CDATA[<b>]]>&lt;c<Nested>not this</Nested>d</Assignments>"
     L"<ActionClaims>\n<Claims/>\n</ActionClaims></Task>\n<Task ToDo_Name=\"line\"/>\n</Tasks>\n</QRSimWorkspace>\n",
     L"W/PLANT\\u privileges 101 plant Plant 1 | object A1 P-1 locked by PLANT\\k | object A2  | task pump & valve "
     L"status 4 fails [a<b><cd] [\n\n] | task line status 0 [] []"},
    {"documents kept in CDATA over several lines",
     L"<Tasks><Task><Assignments><![CDATA[<O X=\"1\">\n <P/>\n\n</O>]]></Assignments>"
     L"<ActionClaims><![CDATA[\n<Claims>\n</Claims>]]>\n</ActionClaims></Task></Tasks></QRSimWorkspace>",
     L"W/PLANT\\u privileges 000 plant  | task  status 0 [<O X=\"1\">\n <P/>\n\n</O>] [\n<Claims>\n</Claims>\n]"},
    {"documents kept as escaped text over several lines, CR LF read as LF",
     L"<Tasks><Task><Assignments>&lt;O&gt;\r\n&lt;P/&gt;\n&lt;/O&gt;</Assignments>"
     L"<ActionClaims><![CDATA[<Claims>\r\n<!-- -->]]>\n<![CDATA[\r</Claims>]]></ActionClaims></Task></Tasks></QRSimWorkspace>",
     L"W/PLANT\\u privileges 000 plant  | task  status 0 [<O>\n<P/>\n</O>] [<Claims>\n<!-- -->\n\n</Claims>]"},
    {"a later text that is not well-formed comes first",
     L"<Tasks><Task Unknown=\"1\"/></Tasks>\n</QRSimWorkspace>\n<after/>",
     L"The workspace file is not well-formed XML: "},
    {"an unknown attribute", L"<Tasks><Task/><Task ToDo_Name=\"x\" Colour=\"red\"/></Tasks></QRSimWorkspace>",
     L"The workspace file has an unknown attribute 'Colour' on task 2"},
    {"an unknown element in Tasks", L"<Tasks><Task/><Job/></Tasks></QRSimWorkspace>",
     L"The workspace file has an unknown element 'Job' in Tasks"},
    {"an unknown element in a task", L"<Tasks><Task><Notes/></Task></Tasks></QRSimWorkspace>",
     L"The workspace file has an unknown element 'Notes' in task 1"},
    {"an unknown section", L"<Users/></QRSimWorkspace>", L"The workspace file has an unknown element 'Users'"},
    {"a status beyond its codes", L"<Tasks><Task ToDo_Status=\"9\"/></Tasks></QRSimWorkspace>",
     L"The workspace file has the value '9' for ToDo_Status of task 1; a number from 0 to 4 is expected"},
    {"a repeated object", L"<Objects><Object OID=\"A\"/><Object OID=\"A\"/></Objects></QRSimWorkspace>",
     L"The workspace file has more than one Object with the OID 'A'"},
    {"a flag that is not one", L"<Privileges Run=\"yes\"/></QRSimWorkspace>",
     L"The workspace file has the value 'yes' for Run of Privileges; 0, 1, true or false are expected"},
};

TEST(WorkspaceReader, ReadsEachPartAndNamesWhatIsWrong) {
    for (const Case& c : kCases) {
        std::wstring got = Read(std::wstring(kHead) + c.body);
        EXPECT_EQ(c.expected, got.substr(0, std::wcslen(c.expected))) << c.what << ": " << testing::PrintToString(got);
        if (std::wcslen(c.expected) != got.size() && c.expected[std::wcslen(c.expected) - 1] != L' ')
            ADD_FAILURE() << c.what << ": more than expected: " << testing::PrintToString(got);
    }
}

TEST(WorkspaceReader, RefusesWhatTheFileMustNotHold) {
    EXPECT_EQ(L"The workspace file carries a document type declaration, which is not accepted",
              Read(L"<?xml version=\"1.0\"?><!DOCTYPE QRSimWorkspace []><QRSimWorkspace/>"));
    EXPECT_EQ(L"The workspace file has the root element 'Workspace' instead of 'QRSimWorkspace'", Read(L"<Workspace/>"));
    EXPECT_EQ(L"The workspace file has the version '2'; version 1 is expected", Read(L"<QRSimWorkspace Version=\"2\"/>"));
    EXPECT_EQ(L"The workspace file holds a NUL character", Read(std::wstring(L"<QRSimWorkspace/>\0", 18)));
}

// A file of several million characters, as 100,000 tasks make, reads to its last task.
TEST(WorkspaceReader, ReadsALongFileToItsLastTask) {
    std::wstring text = kHead + std::wstring(L"<Tasks>\n");
    const int count = 20000;
    for (int i = 1; i <= count; ++i)
        text += L"<Task ToDo_Name=\"pump P-" + std::to_wstring(i) + L"\" ToDo_Description=\"Bring pump P-" +
                std::to_wstring(i) + L" in line with its P&amp;ID\" ToDo_Status=\"" + std::to_wstring(i % 5) + L"\"/>\n";
    text += L"</Tasks>\n</QRSimWorkspace>\n";
    ASSERT_GT(text.size(), size_t{1} << 20);
    sim::WorkspaceData data = sim::ReadWorkspace(text);
    ASSERT_EQ(static_cast<size_t>(count), data.tasks.size());
    EXPECT_EQ(L"pump P-20000", data.tasks.back().Text(sim::TaskText::Name));
    EXPECT_EQ(L"Bring pump P-20000 in line with its P&ID", data.tasks.back().Text(sim::TaskText::Description));
    EXPECT_EQ(0, data.tasks.back().Integer(sim::TaskInteger::Status));
}

} // namespace
