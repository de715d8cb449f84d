#include "workspacestore.h"

#include "simerror.h"
#include "workspacereader.h"
#include "workspacewriter.h"
#include "simxmltext.h"

namespace sim {

WorkspaceStore::WorkspaceStore(std::wstring path) : path_(std::move(path)) { Reload(); }

const WorkspaceData& WorkspaceStore::Current() {
    if (FileStamp::Of(path_) != stamp_) Reload();
    return data_;
}

void WorkspaceStore::Reload() {
    WithContext(L"Unable to read the workspace '" + path_ + L"'", [&] {
        // The stamp is taken before reading: a change made while reading shows at the next look.
        FileStamp stamp = FileStamp::Of(path_);
        WorkspaceData data = ReadWorkspace(ReadTextFile(path_));
        data_ = std::move(data);
        stamp_ = stamp;
    });
}

void WorkspaceStore::Commit(WorkspaceData next) {
    WithContext(L"Unable to save the workspace '" + path_ + L"'", [&] {
        ReplaceFile(path_, ToUtf8(WriteWorkspace(next)));
        data_ = std::move(next);
        stamp_ = FileStamp::Of(path_);
    });
}

} // namespace sim
