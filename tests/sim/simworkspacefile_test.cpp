// The workspace file: every text written reads back unchanged, what the reader refuses,
// the encodings it reads, and saving that loses nothing when it fails.
#include <gtest/gtest.h>
#include "diagnostics/qrcomexception.h"
#include "filetext.h"
#include "simtestsupport.h"
#include "winkit/unique_handle.h"
#include "workspacereader.h"
#include "workspacestore.h"
#include "workspacewriter.h"

using namespace sim;

namespace {

// The first Desc of the failure a read throws, or "" when it succeeds.
std::wstring ReadFailure(const std::wstring& text) {
    try {
        ReadWorkspace(text);
    } catch (QRComException& error) {
        EXPECT_EQ(E_INVALIDARG, error.result);
        return simtest::TakeErrorDesc();
    }
    return {};
}

std::wstring Minimal(const std::wstring& inside) { return L"<QRSimWorkspace Version=\"1\">" + inside + L"</QRSimWorkspace>"; }

// Someone holding the file open without allowing it to be deleted or renamed over.
winkit::UniqueKernelHandle Hold(const std::wstring& path) {
    return winkit::UniqueKernelHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

} // namespace

TEST(SimWorkspaceFile, EveryTextWrittenReadsBackUnchanged) {
    WorkspaceData data;
    data.name = L"Quotes \" ' & <tags> and\ttabs";
    data.userName = L"DOMAIN\\user";
    data.privileges = {true, false, true};
    data.frameworkData[0] = L"http://ef/?a=1&b=2";
    data.frameworkData[9] = L"  Unit\r\n0101  ";
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
    data.tasks = {task, SimTask{}};

    std::wstring text = WriteWorkspace(data);
    WorkspaceData back = ReadWorkspace(text);
    EXPECT_EQ(data.name, back.name);
    EXPECT_EQ(data.userName, back.userName);
    EXPECT_FALSE(back.privileges.runTasks);
    EXPECT_TRUE(back.privileges.deferTasks);
    EXPECT_EQ(data.frameworkData, back.frameworkData);
    ASSERT_EQ(1u, back.objects.size());
    EXPECT_EQ(L"P-1 \"A\"", back.objects[0].name);
    EXPECT_EQ(L"k\u00fchn", back.objects[0].lockedBy);
    ASSERT_EQ(2u, back.tasks.size());
    EXPECT_EQ(task.texts, back.tasks[0].texts);
    EXPECT_EQ(task.integers, back.tasks[0].integers);
    EXPECT_EQ(task.assignments, back.tasks[0].assignments);
    EXPECT_EQ(task.actionClaims, back.tasks[0].actionClaims);
    EXPECT_TRUE(back.tasks[0].failsOnAction && !back.tasks[1].failsOnAction);
    EXPECT_EQ(text, WriteWorkspace(back));
}

TEST(SimWorkspaceFile, RefusesWhatItCannotTrust) {
    const struct {
        std::wstring text;
        const wchar_t* reason;  // null: any reason
    } cases[] = {
        {L"<!DOCTYPE QRSimWorkspace [<!ENTITY x \"y\">]>" + Minimal(L""), nullptr},
        {L"<Workspace/>", L"The workspace file has the root element 'Workspace' instead of 'QRSimWorkspace'"},
        {Minimal(L"<Tasks><Task ToDo_Stauts=\"1\"/></Tasks>"), L"The workspace file has an unknown attribute 'ToDo_Stauts' on task 1"},
        {Minimal(L"<Tasks><Task ToDo_Status=\"5\"/></Tasks>"),
         L"The workspace file has the value '5' for ToDo_Status of task 1; a number from 0 to 4 is expected"},
        {Minimal(L"<Objects><Object OID=\"7\"/><Object OID=\"7\"/></Objects>"), L"The workspace file has more than one Object with the OID '7'"},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        std::wstring reason = ReadFailure(c.text);
        EXPECT_EQ(c.reason ? c.reason : reason, reason) << c.text.c_str();
        EXPECT_NE(L"", reason) << c.text.c_str();
    }
    // A document type declaration counts only in the prolog.
    EXPECT_EQ(L"", ReadFailure(Minimal(L"<Tasks><Task ToDo_Notes=\"&lt;!DOCTYPE x&gt;\"/></Tasks>")));
}

TEST(SimWorkspaceFile, ReadsUtf8WithOrWithoutMarkAndUtf16WithMark) {
    const std::wstring text = L"<QRSimWorkspace Version=\"1\" Name=\"K\u00fchl\"/>";
    const std::string utf8 = "<QRSimWorkspace Version=\"1\" Name=\"K\xC3\xBChl\"/>";
    const std::pair<std::string, const wchar_t*> cases[] = {
        {utf8, L"K\u00fchl"},
        {"\xEF\xBB\xBF" + utf8, L"K\u00fchl"},
        {"\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)), L"K\u00fchl"},
        {"<QRSimWorkspace Version=\"1\" Name=\"K\xFChl\"/>", L"(refused)"},  // Latin-1
    };
    simtest::ScratchFolder folder;
    for (const auto& [bytes, name] : cases) {
        simtest::WriteBytes(folder.File(L"w.xml"), bytes);
        try {
            EXPECT_EQ(name, ReadWorkspace(ReadTextFile(folder.File(L"w.xml"))).name);
        } catch (QRComException&) {
            EXPECT_EQ(name, std::wstring(L"(refused)"));
        }
    }
    EXPECT_THROW(ReadTextFile(folder.File(L"missing.xml")), QRComException);
    simtest::TakeErrorDesc();
}

TEST(SimWorkspaceStore, AFailedSaveLeavesTheOldFileWholeAndTheStateAsItWas) {
    simtest::SampleCopy sample;
    std::string before = simtest::ReadBytes(sample.path);
    WorkspaceStore store(sample.path);
    WorkspaceData next = store.Current();
    next.tasks.clear();
    {
        winkit::UniqueKernelHandle holder = Hold(sample.path);
        ASSERT_NE(INVALID_HANDLE_VALUE, holder.get());
        EXPECT_THROW(store.Commit(next), QRComException);
        EXPECT_EQ(0u, simtest::TakeErrorDesc().find(L"Unable to save the workspace '" + sample.path + L"'"));
    }
    EXPECT_EQ(30u, store.Current().tasks.size());
    EXPECT_EQ(before, simtest::ReadBytes(sample.path));
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, sample.folder.Files()) << "the new file is removed";
}

TEST(SimWorkspaceStore, SavesInOneStepAndSeesChangesMadeBySomeoneElse) {
    simtest::SampleCopy sample;
    WorkspaceStore mine(sample.path), theirs(sample.path);
    WorkspaceData next = theirs.Current();
    next.tasks.erase(next.tasks.begin());
    next.name = L"Renamed elsewhere";
    theirs.Commit(next);
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, sample.folder.Files());
    EXPECT_EQ(L"Renamed elsewhere", mine.Current().name);
    ASSERT_EQ(29u, mine.Current().tasks.size());
    EXPECT_EQ(theirs.Current().tasks[0].texts, mine.Current().tasks[0].texts);

    simtest::WriteBytes(sample.path, "<QRSimWorkspace");
    EXPECT_THROW(mine.Current(), QRComException);
    EXPECT_THROW(mine.Reload(), QRComException);
    EXPECT_EQ(0u, simtest::TakeErrorDesc().find(L"Unable to read the workspace '" + sample.path + L"'"));
}
