#pragma once
// One open workspace file: its state in memory, kept in step with the file.
#include <string>
#include "filetext.h"
#include "workspacedata.h"

namespace sim {

class WorkspaceStore {
public:
    // Reads the file at `path` (a full path). Throws a QRComException when it cannot be
    // read or is not a valid workspace file.
    explicit WorkspaceStore(std::wstring path);

    const std::wstring& Path() const { return path_; }

    // The state as the file holds it now: when the file was changed by someone else
    // since it was read or written here, it is read again first.
    const WorkspaceData& Current();
    // Reads the file again, whether or not it changed. On failure the state stays.
    void Reload();
    // Makes `next` the new state: the file is replaced in one step, and only when that
    // succeeded does the state in memory change. Throws a QRComException otherwise.
    void Commit(WorkspaceData next);

private:
    std::wstring path_;
    WorkspaceData data_;
    FileStamp stamp_;
};

} // namespace sim
