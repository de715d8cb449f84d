// Saving the workspace file: replaced in one step, nothing lost when a save fails, and
// changes made by someone else are seen.
#include <gtest/gtest.h>
#include "diagnostics/qrcomexception.h"
#include "filetext.h"
#include "simtestsupport.h"
#include "workspacestore.h"

using namespace sim;

TEST(SimWorkspaceStore, ReplaceFileSwapsContentsAndLeavesNoNewFileBehind) {
    simtest::ScratchFolder folder;
    std::wstring path = folder.File(L"state.xml");
    simtest::WriteBytes(path, "old");
    ReplaceFile(path, "new contents");
    EXPECT_EQ("new contents", simtest::ReadBytes(path));
    EXPECT_EQ(std::vector<std::wstring>{L"state.xml"}, folder.Files());
}

TEST(SimWorkspaceStore, FailedReplaceKeepsTheOldFileAndRemovesTheNewOne) {
    simtest::ScratchFolder folder;
    std::wstring path = folder.File(L"state.xml");
    simtest::WriteBytes(path, "old");
    // Someone holds the file without allowing it to be deleted or renamed over.
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_THROW(ReplaceFile(path, "new"), QRComException);
    CloseHandle(holder);
    EXPECT_EQ("old", simtest::ReadBytes(path));
    EXPECT_EQ(std::vector<std::wstring>{L"state.xml"}, folder.Files());
}

TEST(SimWorkspaceStore, FailedCommitChangesNeitherFileNorState) {
    simtest::ScratchFolder folder;
    std::wstring path = simtest::CopySample(folder);
    std::string before = simtest::ReadBytes(path);
    WorkspaceStore store(path);
    WorkspaceData next = store.Current();
    next.tasks.clear();
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    try {
        store.Commit(next);
        ADD_FAILURE() << "the commit succeeded";
    } catch (QRComException& error) {
        EXPECT_TRUE(FAILED(error.result));
        EXPECT_NE(std::wstring::npos, simtest::TakeErrorDescription().find(L"Unable to save the workspace"));
    }
    CloseHandle(holder);
    EXPECT_EQ(30u, store.Current().tasks.size());
    EXPECT_EQ(before, simtest::ReadBytes(path));
}

TEST(SimWorkspaceStore, CommitWritesAFileThatReadsBackTheSame) {
    simtest::ScratchFolder folder;
    std::wstring path = simtest::CopySample(folder);
    WorkspaceStore store(path);
    WorkspaceData next = store.Current();
    next.tasks.erase(next.tasks.begin());
    next.userName = L"";
    store.Commit(next);
    WorkspaceStore other(path);
    EXPECT_EQ(29u, other.Current().tasks.size());
    EXPECT_EQ(L"", other.Current().userName);
    EXPECT_EQ(store.Current().tasks[0].texts, other.Current().tasks[0].texts);
    EXPECT_EQ(std::vector<std::wstring>{L"workspace.xml"}, folder.Files());
}

TEST(SimWorkspaceStore, SeesChangesMadeBySomeoneElseAndKeepsStateWhenTheFileTurnsBad) {
    simtest::ScratchFolder folder;
    std::wstring path = simtest::CopySample(folder);
    WorkspaceStore mine(path);
    WorkspaceStore theirs(path);
    WorkspaceData next = theirs.Current();
    next.name = L"Renamed elsewhere";
    theirs.Commit(next);
    EXPECT_EQ(L"Renamed elsewhere", mine.Current().name);

    simtest::WriteBytes(path, "<QRSimWorkspace");
    EXPECT_THROW(mine.Current(), QRComException);
    simtest::TakeErrorDescription();
    EXPECT_THROW(mine.Reload(), QRComException);
    simtest::TakeErrorDescription();
}
