#include "support/sim_workspace.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>
#include "support/registry_helpers.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

std::wstring SimWorkspace::SampleWorkspacePath() {
    std::wstring folder = ProgramFolder();
    for (int up = 0; up < 6 && !folder.empty(); ++up) {
        std::wstring candidate = folder + L"sim\\data\\sample-workspace.xml";
        if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
        folder = folder.substr(0, folder.find_last_of(L"\\/", folder.size() - 2) + 1);
    }
    return {};
}

SimWorkspace::SimWorkspace(const std::wstring& source, const std::wstring& folder)
    : source_(source.empty() ? SampleWorkspacePath() : source), folder_(folder) {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"QRSim.Workspace", &clsid))) return;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch_.put_void()))) return;
    if (OpenCopy()) dispatch_.QueryTo(IID_IWorkspace, workspace_.put_void());
}

bool SimWorkspace::OpenCopy() {
    wchar_t temporary[MAX_PATH], file[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    GetTempFileNameW(folder_.empty() ? temporary : folder_.c_str(), L"qws", 0, file);
    path_ = file;
    if (!CopyFileW(source_.c_str(), path_.c_str(), FALSE)) return false;
    winkit::UniqueVariant path = winkit::UniqueVariant::String(path_);
    return SUCCEEDED(Invoke(L"Open", {*path.get()}, nullptr));
}

bool SimWorkspace::Renew() {
    std::wstring old = path_;
    bool opened = dispatch_ && OpenCopy();
    DeleteFileW(old.c_str());
    return opened;
}

SimWorkspace::~SimWorkspace() {
    workspace_.reset();
    dispatch_.reset();
    DeleteFileW(path_.c_str());
}

HRESULT SimWorkspace::Invoke(const wchar_t* name, std::initializer_list<VARIANT> arguments, VARIANT* result) {
    DISPID id;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    WORD kind = result && arguments.size() == 0 ? DISPATCH_PROPERTYGET | DISPATCH_METHOD : DISPATCH_METHOD;
    return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
}

long SimWorkspace::TaskCount() {
    winkit::UniqueVariant count;
    if (FAILED(Invoke(L"TaskCount", {}, count.put())) || count.vt() != VT_I4) return -1;
    return V_I4(count.get());
}

std::wstring SimWorkspace::TaskField(long index, const wchar_t* field) {
    winkit::UniqueVariant value, i = winkit::UniqueVariant::Long(index), f = winkit::UniqueVariant::String(field);
    if (FAILED(Invoke(L"TaskField", {*i.get(), *f.get()}, value.put())) || value.vt() != VT_BSTR) return L"(failed)";
    return V_BSTR(value.get()) ? V_BSTR(value.get()) : L"";
}

std::wstring SimWorkspace::CallFramework(const wchar_t* method, const wchar_t* input) {
    winkit::UniqueVariant value, m = winkit::UniqueVariant::String(method), in = winkit::UniqueVariant::String(input);
    if (FAILED(Invoke(L"CallFramework", {*m.get(), *in.get()}, value.put())) || value.vt() != VT_BSTR) return L"(failed)";
    return V_BSTR(value.get()) ? V_BSTR(value.get()) : L"";
}

std::wstring SimWorkspace::FileText() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::string utf8 = bytes.str();
    std::wstring text(utf8.size(), L'\0');
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? n : 0);
    return text;
}
