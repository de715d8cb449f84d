#pragma once
// A copy of the sample workspace opened by the simulated host (register-components.sh),
// deleted when the object goes so that the committed sample never changes.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "automationcall.h"
#include "comidentifiers.h"
#include "support/registry_helpers.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

class SimWorkspace {
public:
    // Copies sim/data/sample-workspace.xml (found from the program's folder upwards) or
    // the given file into the folder (default: the temporary folder) and opens the copy.
    explicit SimWorkspace(const std::wstring& source = L"", const std::wstring& folder = L"")
        : source_(source.empty() ? SampleWorkspacePath() : source), folder_(folder) {
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(L"QRSim.Workspace", &clsid))) return;
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch_.put_void()))) return;
        if (OpenCopy()) dispatch_.QueryTo(IID_IWorkspace, workspace_.put_void());
    }
    ~SimWorkspace() {
        workspace_.reset();
        dispatch_.reset();
        DeleteFileW(path_.c_str());
    }
    SimWorkspace(const SimWorkspace&) = delete;
    SimWorkspace& operator=(const SimWorkspace&) = delete;

    // Opens a fresh copy in the same workspace object, in place of the copy open now.
    bool Renew() {
        std::wstring old = path_;
        bool opened = dispatch_ && OpenCopy();
        DeleteFileW(old.c_str());
        return opened;
    }

    bool ok() const { return static_cast<bool>(workspace_); }
    IWorkspace* Workspace() const { return workspace_.get(); }
    IDispatch* Dispatch() const { return dispatch_.get(); }
    const std::wstring& Path() const { return path_; }

    // Late-bound members of the simulated workspace; "(failed)" when a call fails.
    long TaskCount() {
        winkit::UniqueVariant count;
        if (FAILED(Invoke(L"TaskCount", {}, count.put())) || count.vt() != VT_I4) return -1;
        return V_I4(count.get());
    }
    std::wstring TaskField(long index, const wchar_t* field) {
        return TextOf(L"TaskField", winkit::UniqueVariant::Long(index), winkit::UniqueVariant::String(field));
    }
    std::wstring CallFramework(const wchar_t* method, const wchar_t* input) {
        return TextOf(L"CallFramework", winkit::UniqueVariant::String(method), winkit::UniqueVariant::String(input));
    }

    static std::wstring SampleWorkspacePath() {
        std::wstring folder = ProgramFolder();
        for (int up = 0; up < 6 && !folder.empty(); ++up) {
            std::wstring candidate = folder + L"sim\\data\\sample-workspace.xml";
            if (GetFileAttributesW(candidate.c_str()) != INVALID_FILE_ATTRIBUTES) return candidate;
            folder = folder.substr(0, folder.find_last_of(L"\\/", folder.size() - 2) + 1);
        }
        return {};
    }

private:
    HRESULT Invoke(const wchar_t* name, std::initializer_list<VARIANT> arguments, VARIANT* result) {
        DISPID id = -1;
        WORD kind = result && arguments.size() == 0 ? DISPATCH_PROPERTYGET | DISPATCH_METHOD : DISPATCH_METHOD;
        return AutomationCall(kind, result, dispatch_.get(), id, name, arguments);
    }
    std::wstring TextOf(const wchar_t* member, const winkit::UniqueVariant& first, const winkit::UniqueVariant& second) {
        winkit::UniqueVariant value;
        if (FAILED(Invoke(member, {*first.get(), *second.get()}, value.put())) || value.vt() != VT_BSTR) return L"(failed)";
        return V_BSTR(value.get()) ? V_BSTR(value.get()) : L"";
    }
    bool OpenCopy() {
        wchar_t temporary[MAX_PATH], file[MAX_PATH];
        GetTempPathW(MAX_PATH, temporary);
        GetTempFileNameW(folder_.empty() ? temporary : folder_.c_str(), L"qws", 0, file);
        path_ = file;
        if (!CopyFileW(source_.c_str(), path_.c_str(), FALSE)) return false;
        winkit::UniqueVariant path = winkit::UniqueVariant::String(path_);
        return SUCCEEDED(Invoke(L"Open", {*path.get()}, nullptr));
    }

    std::wstring source_;
    std::wstring folder_;
    std::wstring path_;
    winkit::ComPtr<IDispatch> dispatch_;
    winkit::ComPtr<IWorkspace> workspace_;
};
