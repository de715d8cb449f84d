// The workspace file: every text written reads back unchanged, and saving loses nothing
// when it fails.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include "diagnostics/qrcomexception.h"
#include "diagnostics/qrerrorelement.h"
#include "support/errorinfo_helpers.h"
#include "support/sim_workspace.h"
#include "winkit/unique_handle.h"
#include "workspacereader.h"
#include "workspacestore.h"
#include "workspacewriter.h"

using namespace sim;

namespace {

// Every value the data holds, in one list, so that two states compare with one check.
std::vector<std::wstring> Values(const WorkspaceData& data) {
    const Privileges& may = data.privileges;
    std::vector<std::wstring> values = {data.name, data.userName,
                                        std::to_wstring(may.deleteTasks * 100 + may.runTasks * 10 + may.deferTasks)};
    values.insert(values.end(), data.frameworkData.begin(), data.frameworkData.end());
    for (const SimObject& object : data.objects)
        values.insert(values.end(), {object.oid, object.name, std::to_wstring(object.locked), object.lockedBy});
    for (const SimTask& task : data.tasks) {
        values.insert(values.end(), task.texts.begin(), task.texts.end());
        for (long number : task.integers) values.push_back(std::to_wstring(number));
        values.insert(values.end(), {task.assignments, task.actionClaims, std::to_wstring(task.failsOnAction)});
    }
    return values;
}

std::string Bytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
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
    task.integers = {6, 4, 1};
    task.assignments = L"<O X=\"1\">\r\n<A I=\"a\" V=\"]]>\"/>\n</O>";
    task.actionClaims = L"<Claims>\n<Claim OID=\"1\"/>\n</Claims>";
    task.failsOnAction = true;
    data.tasks = {task, SimTask{}};

    std::wstring text = WriteWorkspace(data);
    EXPECT_EQ(Values(data), Values(ReadWorkspace(text)));
    EXPECT_EQ(text, WriteWorkspace(ReadWorkspace(text)));
}

// A failed save leaves the old file whole and the state as it was; a save is one step, and
// a store sees what another saved.
TEST(SimWorkspaceStore, SavesWholeOrNotAtAllAndSeesChangesMadeBySomeoneElse) {
    // A copy of the sample in a folder that must hold nothing else afterwards.
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / (L"qrsimtest-" + std::to_wstring(GetCurrentProcessId()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::wstring path = (folder / L"workspace.xml").wstring();
    fs::copy_file(SimWorkspace::SampleWorkspacePath(), path);
    auto files = [&] {
        std::vector<std::wstring> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
        return names;
    };
    std::string before = Bytes(path);
    WorkspaceStore mine(path), theirs(path);
    WorkspaceData next = theirs.Current();
    next.tasks.erase(next.tasks.begin());
    next.name = L"Renamed elsewhere";
    {
        // Someone holds the file open without allowing it to be replaced.
        winkit::UniqueKernelHandle holder(
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, holder.get());
        EXPECT_THROW(theirs.Commit(next), QRComException);
        EXPECT_EQ(0u, FirstDesc(TakeThreadError().description).find(L"Unable to save the workspace '" + path + L"'"));
    }
    EXPECT_EQ(30u, theirs.Current().tasks.size());
    EXPECT_EQ(before, Bytes(path));
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, files()) << "the new file is removed";

    theirs.Commit(next);
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, files());
    EXPECT_EQ(L"Renamed elsewhere", mine.Current().name);
    EXPECT_EQ(Values(theirs.Current()), Values(mine.Current()));
    fs::remove_all(folder);
}
