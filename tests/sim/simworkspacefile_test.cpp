// The workspace file: the sample, reading and writing back, and what the reader refuses.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include "decimal.h"
#include "diagnostics/qrerrorelement.h"
#include "diagnostics/qrcomexception.h"
#include "filetext.h"
#include "simtestsupport.h"
#include "workspacereader.h"
#include "workspacewriter.h"
#include "simxmltext.h"

using namespace sim;

namespace {

// The Desc of the QRError document a failed read throws, or "" when it succeeds.
std::wstring ReadFailure(const std::wstring& text) {
    try {
        ReadWorkspace(text);
    } catch (QRComException& error) {
        EXPECT_EQ(E_INVALIDARG, error.result);
        return FirstDesc(simtest::TakeErrorDescription());
    }
    return {};
}

std::wstring Minimal(const std::wstring& inside, const std::wstring& rootAttributes = L"") {
    return L"<QRSimWorkspace Version=\"1\"" + rootAttributes + L">" + inside + L"</QRSimWorkspace>";
}

} // namespace

TEST(SimWorkspaceFile, SampleCoversEveryCategoryStatusAndKnob) {
    WorkspaceData data = ReadWorkspace(ReadTextFile(simtest::SampleWorkspacePath()));
    EXPECT_EQ(L"Unit 0101 Feed Pumps and Cooling Water", data.name);
    EXPECT_EQ(L"PLANT\\jdoe", data.userName);
    EXPECT_TRUE(data.privileges.deleteTasks && data.privileges.runTasks && data.privileges.deferTasks);
    EXPECT_EQ(L"3.65", data.frameworkData[3]);
    EXPECT_EQ(L"Unit 0101", data.frameworkData[9]);
    ASSERT_EQ(30u, data.tasks.size());
    std::set<long> categories, statuses;
    int deleted = 0, failing = 0, withAssignments = 0;
    for (const SimTask& task : data.tasks) {
        categories.insert(task.Integer(TaskInteger::Category));
        statuses.insert(task.Integer(TaskInteger::Status));
        deleted += task.Integer(TaskInteger::DeletedFlag) != 0;
        failing += task.failsOnAction;
        withAssignments += !task.assignments.empty();
    }
    EXPECT_EQ((std::set<long>{0, 1, 2, 3, 4, 5, 6}), categories);
    EXPECT_EQ((std::set<long>{0, 1, 2, 3, 4}), statuses);
    EXPECT_GE(deleted, 2);
    EXPECT_EQ(1, failing);
    EXPECT_TRUE(data.tasks[11].failsOnAction);
    EXPECT_GE(withAssignments, 8);
    EXPECT_EQ(0u, data.tasks[0].assignments.rfind(L"<O X=\"1\" ", 0));
    EXPECT_NE(std::wstring::npos, data.tasks[6].actionClaims.find(L"Locked=\"1\""));
    // Dates in several text forms, some empty or unreadable.
    EXPECT_EQ(L"12/1/2026 3:15:00 PM", data.tasks[1].Text(TaskText::RunDate));
    EXPECT_EQ(L"2026-11-28", data.tasks[7].Text(TaskText::CreatedDate));
    EXPECT_EQ(L"", data.tasks[20].Text(TaskText::CreatedDate));
    EXPECT_EQ(L"sometime next week", data.tasks[21].Text(TaskText::RunDate));
}

TEST(SimWorkspaceFile, WritesAndReadsBackEveryTextUnchanged) {
    WorkspaceData data;
    data.name = L"Quotes \" ' & <tags> and\ttabs";
    data.userName = L"DOMAIN\\user";
    data.privileges = {true, false, true};
    data.frameworkData[0] = L"http://ef/?a=1&b=2";
    data.objects.push_back({L"1", L"P-1 \"A\"", true, L"k\u00fchn"});
    SimTask task;
    task.Text(TaskText::Name) = L"Line\nbreak, CR LF\r\n, \u00c4\u20ac and \U0001F600";
    task.Text(TaskText::Notes) = L"  leading and trailing blanks  ";
    task.Integer(TaskInteger::Category) = 6;
    task.Integer(TaskInteger::Status) = 4;
    task.Integer(TaskInteger::DeletedFlag) = 1;
    task.assignments = L"<O X=\"1\">\r\n<A I=\"a\" V=\"]]>\"/>\n</O>";
    task.actionClaims = L"<Claims>\n<Claim OID=\"1\"/>\n</Claims>";
    task.failsOnAction = true;
    data.tasks.push_back(task);
    data.tasks.push_back(SimTask{});

    std::wstring text = WriteWorkspace(data);
    WorkspaceData back = ReadWorkspace(text);
    EXPECT_EQ(data.name, back.name);
    EXPECT_EQ(data.userName, back.userName);
    EXPECT_FALSE(back.privileges.runTasks);
    EXPECT_EQ(data.frameworkData, back.frameworkData);
    ASSERT_EQ(1u, back.objects.size());
    EXPECT_EQ(L"k\u00fchn", back.objects[0].lockedBy);
    ASSERT_EQ(2u, back.tasks.size());
    EXPECT_EQ(task.texts, back.tasks[0].texts);
    EXPECT_EQ(task.integers, back.tasks[0].integers);
    EXPECT_EQ(task.assignments, back.tasks[0].assignments);
    EXPECT_EQ(task.actionClaims, back.tasks[0].actionClaims);
    EXPECT_TRUE(back.tasks[0].failsOnAction);
    EXPECT_FALSE(back.tasks[1].failsOnAction);
    // Writing what was read gives the same text again.
    EXPECT_EQ(text, WriteWorkspace(back));
    // One element per line: no line starts a second Task.
    size_t lineStart = 0;
    while (lineStart < text.size()) {
        size_t lineEnd = std::min(text.find(L'\n', lineStart), text.size());
        std::wstring line = text.substr(lineStart, lineEnd - lineStart);
        size_t first = line.find(L"<Task ");
        EXPECT_TRUE(first == std::wstring::npos || line.find(L"<Task ", first + 1) == std::wstring::npos) << line.c_str();
        lineStart = lineEnd + 1;
    }
}

TEST(SimWorkspaceFile, RefusesWhatItCannotTrust) {
    EXPECT_NE(L"", ReadFailure(L"<!DOCTYPE QRSimWorkspace [<!ENTITY x \"y\">]>" + Minimal(L"")));
    EXPECT_NE(L"", ReadFailure(L"<?xml version=\"1.0\"?><!-- c --><!doctype x>" + Minimal(L"")));
    EXPECT_EQ(L"The workspace file has the root element 'Workspace' instead of 'QRSimWorkspace'",
              ReadFailure(L"<Workspace/>"));
    EXPECT_EQ(L"The workspace file has the version '2'; version 1 is expected",
              ReadFailure(L"<QRSimWorkspace Version=\"2\"/>"));
    EXPECT_EQ(L"The workspace file has an unknown attribute 'ToDo_Stauts' on task 1",
              ReadFailure(Minimal(L"<Tasks><Task ToDo_Stauts=\"1\"/></Tasks>")));
    EXPECT_EQ(L"The workspace file has the value '5' for ToDo_Status of task 1; a number from 0 to 4 is expected",
              ReadFailure(Minimal(L"<Tasks><Task ToDo_Status=\"5\"/></Tasks>")));
    EXPECT_NE(L"", ReadFailure(Minimal(L"<Tasks><Task ToDo_Category=\"2x\"/></Tasks>")));
    EXPECT_NE(L"", ReadFailure(Minimal(L"<Tasks><Task FailsOnAction=\"yes\"/></Tasks>")));
    EXPECT_EQ(L"The workspace file has more than one Object with the OID '7'",
              ReadFailure(Minimal(L"<Objects><Object OID=\"7\"/><Object OID=\"7\"/></Objects>")));
    EXPECT_EQ(L"The workspace file has an unknown element 'Task' in Objects",
              ReadFailure(Minimal(L"<Objects><Task/></Objects>")));
    EXPECT_NE(L"", ReadFailure(L"<QRSimWorkspace>"));
    EXPECT_NE(L"", ReadFailure(L""));
    // A document type declaration only counts in the prolog.
    EXPECT_EQ(L"", ReadFailure(Minimal(L"<Tasks><Task ToDo_Notes=\"&lt;!DOCTYPE x&gt;\"/></Tasks>")));
}

TEST(SimWorkspaceFile, EscapingKeepsWhatXmlCanCarryAndFindsWhatItCannot) {
    std::wstring out;
    AppendAttributeValue(out, L"a&b<c>\"d\t\r\n'");
    EXPECT_EQ(L"a&amp;b&lt;c&gt;&quot;d&#9;&#13;&#10;'", out);
    out.clear();
    AppendCharacterData(out, L"]]> & \r\n\"");
    EXPECT_EQ(L"]]&gt; &amp; &#13;\n\"", out);
    EXPECT_EQ(std::wstring_view::npos, FindInvalidXmlCharacter(L"tab\t LF\n CR\r \U0001F600"));
    EXPECT_EQ(3u, FindInvalidXmlCharacter(L"abc\x01"));
    EXPECT_EQ(1u, FindInvalidXmlCharacter(L"a\xD800z"));
    EXPECT_EQ(0u, FindInvalidXmlCharacter(L"\xDC00"));
    EXPECT_EQ(2u, FindInvalidXmlCharacter(L"ab\xFFFF"));
}

TEST(SimWorkspaceFile, ReadsUtf8WithOrWithoutMarkAndUtf16WithMark) {
    simtest::ScratchFolder folder;
    std::wstring text = Minimal(L"", L" Name=\"K\u00fchlwasser\"");
    simtest::WriteBytes(folder.File(L"plain.xml"), simtest::Utf8(text));
    simtest::WriteBytes(folder.File(L"marked.xml"), "\xEF\xBB\xBF" + simtest::Utf8(text));
    std::string utf16 = "\xFF\xFE";
    utf16.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    simtest::WriteBytes(folder.File(L"utf16.xml"), utf16);
    simtest::WriteBytes(folder.File(L"latin1.xml"), "<QRSimWorkspace Name=\"K\xFChl\"/>");
    for (const wchar_t* name : {L"plain.xml", L"marked.xml", L"utf16.xml"})
        EXPECT_EQ(L"K\u00fchlwasser", ReadWorkspace(ReadTextFile(folder.File(name))).name) << name;
    EXPECT_THROW(ReadTextFile(folder.File(L"latin1.xml")), QRComException);
    EXPECT_THROW(ReadTextFile(folder.File(L"missing.xml")), QRComException);
}

TEST(SimWorkspaceFile, DecimalNumbersAreReadStrictly) {
    EXPECT_EQ(std::optional<long>(7), ParseDecimal(L"007"));
    EXPECT_EQ(std::optional<long>(-2147483647L - 1), ParseDecimal(L"-2147483648"));
    EXPECT_EQ(std::optional<long>(2147483647L), ParseDecimal(L"2147483647"));
    for (const wchar_t* bad : {L"", L"-", L"2147483648", L"-2147483649", L" 1", L"1 ", L"+1", L"1e3", L"99999999999999999999"})
        EXPECT_EQ(std::nullopt, ParseDecimal(bad)) << bad;
}
