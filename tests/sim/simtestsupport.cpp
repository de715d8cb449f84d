#include "simtestsupport.h"

#include <string_view>
#include <vector>
#include "simworkspace.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_handle.h"

namespace simtest {

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static LONG counter = 0;
    path_ = std::wstring(temp) + L"qrsimtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(InterlockedIncrement(&counter));
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    for (const std::wstring& name : Files()) {
        std::wstring file = path_ + L"\\" + name;
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(file.c_str());
    }
    RemoveDirectoryW(path_.c_str());
}

std::vector<std::wstring> ScratchFolder::Files() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::wstring SampleWorkspacePath() {
    std::string source = QRC_SOURCE_DIR;
    return L"Z:" + std::wstring(source.begin(), source.end()) + L"/sim/data/sample-workspace.xml";
}

std::wstring CopySample(const ScratchFolder& folder, const wchar_t* name) {
    std::wstring copy = folder.File(name);
    CopyFileW(SampleWorkspacePath().c_str(), copy.c_str(), FALSE);
    return copy;
}

std::string ReadBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD n = 0;
    while (ReadFile(file, chunk, sizeof chunk, &n, nullptr) && n > 0) bytes.append(chunk, n);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(file);
}

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::wstring TakeErrorDescription() {
    winkit::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return {};
    winkit::UniqueBstr description;
    info->GetDescription(description.put());
    return description.str();
}

winkit::ComPtr<IWorkspace> OpenWorkspace(const std::wstring& path) {
    winkit::ComPtr<IWorkspace> workspace;
    sim::SimWorkspace::Create(nullptr, __uuidof(IWorkspace), workspace.put_void());
    winkit::UniqueBstr file = winkit::UniqueBstr::Copy(path);
    if (FAILED(Scriptable(workspace.get())->Open(file.get()))) return {};
    return workspace;
}

winkit::ComPtr<IQRSimWorkspace> Scriptable(IWorkspace* workspace) {
    winkit::ComPtr<IQRSimWorkspace> scriptable;
    if (workspace) workspace->QueryInterface(__uuidof(IQRSimWorkspace), scriptable.put_void());
    return scriptable;
}

Field I4(const wchar_t* name, LONG value) { return {name, winkit::UniqueVariant::Long(value)}; }
Field Text(const wchar_t* name, const wchar_t* value) { return {name, winkit::UniqueVariant::String(value)}; }
Field Date(const wchar_t* name, double value) { return {name, winkit::UniqueVariant::Double(value)}; }

namespace {

winkit::ComPtr<IServiceRequest> Prepare(IWorkspace* workspace, const wchar_t* component, const wchar_t* method) {
    winkit::ComPtr<IServiceRequest> request;
    if (FAILED(workspace->CreateServiceRequest(request.put()))) return request;
    request->SetFlags(0);
    request->SetComponent(winkit::UniqueBstr::Copy(component).get());
    request->SetMethod(winkit::UniqueBstr::Copy(method).get());
    return request;
}

CallResult Finish(IServiceRequest* request) {
    CallResult result;
    result.hr = request->Execute(0);
    if (FAILED(result.hr)) {
        result.error = TakeErrorDescription();
        return result;
    }
    winkit::UniqueBstr output;
    request->GetOutput(output.put());
    result.output = output.str();
    return result;
}

} // namespace

CallResult RecordCall(IWorkspace* workspace, const wchar_t* method, std::initializer_list<Field> fields,
                      const wchar_t* component) {
    winkit::ComPtr<IServiceRequest> request = Prepare(workspace, component, method);
    if (!request) return {};
    winkit::UniqueBstr element = winkit::UniqueBstr::Copy(L"TaskItem");
    request->BeginInput();
    request->BeginElement(element.get());
    for (const Field& field : fields)
        request->AddField(winkit::UniqueBstr::Copy(field.name).get(), *field.value.get());
    request->EndElement(element.get());
    SetErrorInfo(0, nullptr);
    return Finish(request.get());
}

CallResult TextCall(IWorkspace* workspace, const wchar_t* method, const std::wstring& input) {
    winkit::ComPtr<IServiceRequest> request = Prepare(workspace, L"QRDBEFrameworkSvcs.Main", method);
    if (!request) return {};
    if (!input.empty()) request->SetInput(winkit::UniqueBstr::Copy(input).get());
    return Finish(request.get());
}

} // namespace simtest
