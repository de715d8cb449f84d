#pragma once
// The simulated framework component "QRDBEFrameworkSvcs.Main": the methods the To Do
// list and the client services call, working on one workspace.
#include <string>
#include <string_view>
#include "requestinput.h"
#include "workspacestore.h"

namespace sim {

inline constexpr const wchar_t* kFrameworkProgId = L"QRDBEFrameworkSvcs.Main";

class SimFramework {
public:
    explicit SimFramework(WorkspaceStore& store) : store_(store) {}

    // Runs `method` with the request's text input and record; returns its output.
    // Throws a QRComException for an unknown method or an input the method refuses;
    // the workspace is then left exactly as it was.
    std::wstring Execute(std::wstring_view method, std::wstring_view text, const RequestInput& input);

private:
    struct Call {
        std::wstring_view text;
        const RequestInput& input;
    };
    using Method = std::wstring (SimFramework::*)(const Call&);
    struct MethodEntry {
        const wchar_t* name;
        Method method;
    };
    static const MethodEntry kMethods[];

    std::wstring GetTaskList(const Call& call);
    std::wstring SetTaskItemData(const Call& call);
    std::wstring CreateTask(const Call& call);
    std::wstring DeleteTask(const Call& call);
    std::wstring DeferTask(const Call& call);
    std::wstring ActionTask(const Call& call);
    std::wstring GetTaskAssignments(const Call& call);
    std::wstring SetTaskAssignments(const Call& call);
    std::wstring GetEFData(const Call& call);
    std::wstring SynchronizeObjectClaim(const Call& call);

    WorkspaceStore& store_;
};

} // namespace sim
