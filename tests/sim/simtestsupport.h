#pragma once
// What the partner component tests share: a scratch folder, whole-file bytes, a copy of
// the sample workspace opened by the linked workspace code, and framework calls through
// the host's service requests, written as table rows.
#include <windows.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "diagnostics/qrerrorelement.h"
#include "hostinterfaces.h"
#include "simworkspace.h"
#include "support/errorinfo_helpers.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

namespace simtest {

// A new, empty folder under %TEMP%, removed with its files at the end.
struct ScratchFolder {
    ScratchFolder() {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               (L"qrsimtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
        std::filesystem::create_directories(path);
    }
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::wstring File(const wchar_t* name) const { return (path / name).wstring(); }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names;
        for (const auto& entry : std::filesystem::directory_iterator(path)) names.push_back(entry.path().filename().wstring());
        return names;
    }

    std::filesystem::path path;
};

inline std::string ReadBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}
// The first Desc of the thread's error information (taken, so it is cleared), or "".
inline std::wstring TakeErrorDesc() { return FirstDesc(TakeThreadError().description); }

// A copy of sim/data/sample-workspace.xml, opened by a workspace object of the linked code.
struct SampleCopy {
    SampleCopy() {
        std::filesystem::copy_file("Z:" QRC_SOURCE_DIR "/sim/data/sample-workspace.xml", path);
        sim::SimWorkspace::Create(nullptr, __uuidof(IQRSimWorkspace), scriptable.put_void());
        if (SUCCEEDED(scriptable->Open(winkit::UniqueBstr::Copy(path).get())))
            scriptable->QueryInterface(__uuidof(IWorkspace), workspace.put_void());
    }
    // TaskField, or "FAILED".
    std::wstring Field(long index, const wchar_t* name) const {
        winkit::UniqueBstr value;
        HRESULT hr = scriptable->TaskField(index, winkit::UniqueBstr::Copy(name).get(), value.put());
        return SUCCEEDED(hr) ? value.str() : L"FAILED";
    }

    ScratchFolder folder;
    std::wstring path = folder.File(L"workspace.xml");
    winkit::ComPtr<IQRSimWorkspace> scriptable;
    winkit::ComPtr<IWorkspace> workspace;
};

// A field of a request record: VT_I4, VT_BSTR or VT_R8 (a date).
struct Field {
    const wchar_t* name;
    VARTYPE type;
    double number = 0;
    const wchar_t* text = L"";

    winkit::UniqueVariant Value() const {
        using winkit::UniqueVariant;
        return type == VT_BSTR ? UniqueVariant::String(text)
                               : type == VT_I4 ? UniqueVariant::Long(static_cast<LONG>(number)) : UniqueVariant::Double(number);
    }
};
inline Field I4(const wchar_t* name, long value) { return {name, VT_I4, static_cast<double>(value)}; }
inline Field Str(const wchar_t* name, const wchar_t* text) { return {name, VT_BSTR, 0, text}; }
inline Field Date(const wchar_t* name, double value) { return {name, VT_R8, value}; }

// One framework call: a record when there are fields, the text input when there is one.
struct Call {
    const wchar_t* method;
    std::vector<Field> fields;
    std::wstring text;
    const wchar_t* component = L"QRDBEFrameworkSvcs.Main";
};

struct CallResult {
    HRESULT hr = E_FAIL;
    std::wstring output;  // GetOutput after Execute, whatever it answered
    std::wstring error;   // the first Desc of the error information after a failure
};

// SetComponent, SetMethod, the record or SetInput, Execute and GetOutput on `request`.
inline CallResult Run(IServiceRequest* request, const Call& call) {
    auto text = [](const std::wstring& value) { return winkit::UniqueBstr::Copy(value); };
    request->SetComponent(text(call.component).get());
    request->SetMethod(text(call.method).get());
    if (!call.fields.empty()) {
        request->BeginInput();
        request->BeginElement(text(L"TaskItem").get());
        for (const Field& field : call.fields) request->AddField(text(field.name).get(), *field.Value().get());
        request->EndElement(text(L"TaskItem").get());
    }
    if (!call.text.empty()) request->SetInput(text(call.text).get());
    ClearThreadError();
    CallResult result;
    result.hr = request->Execute(0);
    if (FAILED(result.hr)) result.error = TakeErrorDesc();
    winkit::UniqueBstr output;
    request->GetOutput(output.put());
    result.output = output.str();
    return result;
}
// The same on a new request of the workspace, after SetFlags(0).
inline CallResult Run(IWorkspace* workspace, const Call& call) {
    winkit::ComPtr<IServiceRequest> request;
    if (FAILED(workspace->CreateServiceRequest(request.put()))) return {};
    request->SetFlags(0);
    return Run(request.get(), call);
}

} // namespace simtest
