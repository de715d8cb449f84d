#include "simworkspace.h"

#include "simerror.h"
#include "simframework.h"
#include "simservicerequest.h"
#include "winkit/bstr_text.h"

namespace sim {

const QITAB SimWorkspace::kInterfaces[] = {
    SIM_QITABDUAL(SimWorkspace, IQRSimWorkspace),
    SIM_QITABENT(SimWorkspace, IWorkspace),
    SIM_QITABENT(SimWorkspace, ISupportErrorInfo),
    {},
};

HRESULT SimWorkspace::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimWorkspace>(outer, iid, out);
}

namespace {

// The field of the task at ToDo_Index `index`, as TaskField gives it.
std::wstring FieldText(const WorkspaceData& data, long index, std::wstring_view name) {
    if (index < 1 || static_cast<size_t>(index) > data.tasks.size())
        Fail(E_INVALIDARG, L"ToDo_Index %ld lies outside the tasks 1 to %zu", index, data.tasks.size());
    const SimTask& task = data.tasks[static_cast<size_t>(index) - 1];
    if (name == kIndexField) return std::to_wstring(index);
    if (const TaskFieldInfo* info = FindTaskField(name)) return task.FieldText(*info);
    if (name == L"Assignments") return task.assignments;
    if (name == L"ActionClaims") return task.actionClaims;
    if (name == L"FailsOnAction") return task.failsOnAction ? L"1" : L"0";
    Fail(E_INVALIDARG, L"A task has no field '%ls'", std::wstring(name).c_str());
}

} // namespace

WorkspaceStore& SimWorkspace::Store() {
    if (!store_) Fail(E_UNEXPECTED, L"No workspace file is open; call Open first");
    return *store_;
}

STDMETHODIMP SimWorkspace::Open(BSTR path) {
    return Traced(L"SimWorkspace::Open", 1, [&](QRComException&) {
        if (SysStringLen(path) == 0) Fail(E_INVALIDARG, L"Open needs the path of a workspace file");
        // Opening another file replaces the open one only when the new one could be read.
        store_ = std::make_shared<WorkspaceStore>(FullPath(winkit::BstrText(path)));
    });
}

STDMETHODIMP SimWorkspace::Reload() {
    return Traced(L"SimWorkspace::Reload", 1, [&](QRComException&) { Store().Reload(); });
}

STDMETHODIMP SimWorkspace::get_Path(BSTR* path) {
    return TracedText(L"SimWorkspace::get_Path", path, [&] { return Store().Path(); });
}

STDMETHODIMP SimWorkspace::get_Name(BSTR* name) {
    return TracedText(L"SimWorkspace::get_Name", name, [&] { return Store().Current().name; });
}

STDMETHODIMP SimWorkspace::get_UserName(BSTR* name) {
    return TracedText(L"SimWorkspace::get_UserName", name, [&] { return Store().Current().userName; });
}

STDMETHODIMP SimWorkspace::get_TaskCount(long* count) {
    return Traced(L"SimWorkspace::get_TaskCount", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(count);
        *count = 0;
        *count = static_cast<long>(Store().Current().tasks.size());
    });
}

STDMETHODIMP SimWorkspace::TaskField(long index, BSTR field, BSTR* value) {
    return TracedText(L"SimWorkspace::TaskField", value,
                      [&] { return FieldText(Store().Current(), index, winkit::BstrView(field)); });
}

STDMETHODIMP SimWorkspace::CallFramework(BSTR method, BSTR input, BSTR* output) {
    return TracedText(L"SimWorkspace::CallFramework", output, [&] {
        RequestInput noRecord;
        return SimFramework(Store()).Execute(winkit::BstrView(method), winkit::BstrView(input), noRecord);
    });
}

STDMETHODIMP SimWorkspace::GetUserName(BSTR* userName) {
    return TracedText(L"SimWorkspace::GetUserName", userName, [&] { return Store().Current().userName; });
}

STDMETHODIMP SimWorkspace::GetWorkspacePath(BSTR* path) { return get_Path(path); }

STDMETHODIMP SimWorkspace::GetWorkspaceName(BSTR* workspaceName) { return get_Name(workspaceName); }

STDMETHODIMP SimWorkspace::CreateServiceRequest(IServiceRequest** request) {
    return Traced(L"SimWorkspace::CreateServiceRequest", 1, [&](QRComException& xhr) {
        xhr.CheckPointer(request);
        *request = nullptr;
        Store();
        HRESULT hr = SimServiceRequest::Create(store_, request);
        if (FAILED(hr)) Fail(hr, L"Unable to make a service request");
    });
}

} // namespace sim
