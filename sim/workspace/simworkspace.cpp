#include "simworkspace.h"

#include "simerror.h"
#include "simframework.h"
#include "simservicerequest.h"
#include "winkit/unique_bstr.h"

namespace sim {

const QITAB SimWorkspace::kInterfaces[] = {
    SIM_QITABENT(SimWorkspace, IQRSimWorkspace),
    SIM_QITABENTMULTI(SimWorkspace, IID_IDispatch, IQRSimWorkspace),
    SIM_QITABENT(SimWorkspace, IWorkspace),
    SIM_QITABENT(SimWorkspace, ISupportErrorInfo),
    {},
};

HRESULT SimWorkspace::Create(IUnknown* outer, REFIID iid, void** out) {
    return winkit::CreateComInstance<SimWorkspace>(outer, iid, out);
}

namespace {

std::wstring_view View(BSTR text) { return {text ? text : L"", SysStringLen(text)}; }

void Hand(std::wstring_view text, BSTR* out) { *out = winkit::UniqueBstr::Copy(text).release(); }

} // namespace

WorkspaceStore& SimWorkspace::Store() {
    if (!store_) Fail(E_UNEXPECTED, L"No workspace file is open; call Open first");
    return *store_;
}

STDMETHODIMP SimWorkspace::Open(BSTR path) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::Open", 1);
    try {
        if (SysStringLen(path) == 0) Fail(E_INVALIDARG, L"Open needs the path of a workspace file");
        // Opening another file replaces the open one only when the new one could be read.
        store_ = std::make_shared<WorkspaceStore>(FullPath(std::wstring(View(path))));
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::Reload() {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::Reload", 1);
    try {
        Store().Reload();
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::get_Path(BSTR* path) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::get_Path", 1);
    try {
        xhr.CheckPointer(path);
        *path = nullptr;
        Hand(Store().Path(), path);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::get_Name(BSTR* name) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::get_Name", 1);
    try {
        xhr.CheckPointer(name);
        *name = nullptr;
        Hand(Store().Current().name, name);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::get_UserName(BSTR* name) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::get_UserName", 1);
    try {
        xhr.CheckPointer(name);
        *name = nullptr;
        Hand(Store().Current().userName, name);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::get_TaskCount(long* count) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::get_TaskCount", 1);
    try {
        xhr.CheckPointer(count);
        *count = 0;
        *count = static_cast<long>(Store().Current().tasks.size());
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::TaskField(long index, BSTR field, BSTR* value) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::TaskField", 1);
    try {
        xhr.CheckPointer(value);
        *value = nullptr;
        const WorkspaceData& data = Store().Current();
        if (index < 1 || static_cast<size_t>(index) > data.tasks.size())
            Fail(E_INVALIDARG, L"ToDo_Index %ld lies outside the tasks 1 to %zu", index, data.tasks.size());
        const SimTask& task = data.tasks[static_cast<size_t>(index) - 1];
        std::wstring_view name = View(field);
        if (name == kIndexField) Hand(std::to_wstring(index), value);
        else if (const TaskFieldInfo* info = FindTaskField(name)) Hand(task.FieldText(*info), value);
        else if (name == L"Assignments") Hand(task.assignments, value);
        else if (name == L"ActionClaims") Hand(task.actionClaims, value);
        else if (name == L"FailsOnAction") Hand(task.failsOnAction ? L"1" : L"0", value);
        else Fail(E_INVALIDARG, L"A task has no field '%ls'", std::wstring(name).c_str());
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::CallFramework(BSTR method, BSTR input, BSTR* output) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::CallFramework", 1);
    try {
        xhr.CheckPointer(output);
        *output = nullptr;
        RequestInput noRecord;
        SimFramework framework(Store());
        Hand(framework.Execute(View(method), View(input), noRecord), output);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::GetUserName(BSTR* userName) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::GetUserName", 1);
    try {
        xhr.CheckPointer(userName);
        *userName = nullptr;
        Hand(Store().Current().userName, userName);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

STDMETHODIMP SimWorkspace::GetWorkspacePath(BSTR* path) { return get_Path(path); }

STDMETHODIMP SimWorkspace::GetWorkspaceName(BSTR* workspaceName) { return get_Name(workspaceName); }

STDMETHODIMP SimWorkspace::CreateServiceRequest(IServiceRequest** request) {
    QRComException xhr;
    xhr.Enter(L"SimWorkspace::CreateServiceRequest", 1);
    try {
        xhr.CheckPointer(request);
        *request = nullptr;
        Store();
        HRESULT hr = SimServiceRequest::Create(store_, request);
        if (FAILED(hr)) Fail(hr, L"Unable to make a service request");
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

} // namespace sim
