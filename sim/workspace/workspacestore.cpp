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
    try {
        // The stamp is taken before reading: a change made while reading shows at the next look.
        FileStamp stamp = FileStamp::Of(path_);
        WorkspaceData data = ReadWorkspace(ReadTextFile(path_));
        data_ = std::move(data);
        stamp_ = stamp;
    } catch (QRComException& caught) {
        RethrowWithContext(caught, L"Unable to read the workspace '%ls'", path_.c_str());
    }
}

void WorkspaceStore::Commit(WorkspaceData next) {
    try {
        ReplaceFile(path_, ToUtf8(WriteWorkspace(next)));
        data_ = std::move(next);
        stamp_ = FileStamp::Of(path_);
    } catch (QRComException& caught) {
        RethrowWithContext(caught, L"Unable to save the workspace '%ls'", path_.c_str());
    }
}

} // namespace sim
