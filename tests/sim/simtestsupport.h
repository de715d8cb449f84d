#pragma once
// What the partner component tests share: a scratch folder, whole-file bytes, a copy of
// the sample workspace opened by the linked workspace code, and framework calls through
// the host's service requests, described as table rows.
#include <windows.h>
#include <filesystem>
#include <string>
#include <vector>
#include "hostinterfaces.h"
#include "simworkspacelib.h"
#include "winkit/com_ptr.h"

namespace simtest {

// A new, empty folder under %TEMP%, removed with its files at the end.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder() { std::filesystem::remove_all(path); }
    std::wstring File(const wchar_t* name) const { return (path / name).wstring(); }
    std::vector<std::wstring> Files() const;

    std::filesystem::path path;
};

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
// The first Desc of the thread's error information (taken, so it is cleared), or "".
std::wstring TakeErrorDesc();

// A copy of sim/data/sample-workspace.xml, opened by a workspace object of the linked code.
struct SampleCopy {
    SampleCopy();
    std::wstring Field(long index, const wchar_t* name) const;  // TaskField, or "FAILED"

    ScratchFolder folder;
    std::wstring path = folder.File(L"workspace.xml");
    winkit::ComPtr<IQRSimWorkspace> scriptable;
    winkit::ComPtr<IWorkspace> workspace;
};

// A field of a request record: VT_I4, VT_BSTR, VT_R8 (a date), or a VARIANT of another
// type converted from the number.
struct Field {
    const wchar_t* name;
    VARTYPE type;
    double number = 0;
    const wchar_t* text = L"";
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
CallResult Run(IServiceRequest* request, const Call& call);
// The same on a new request of the workspace, after SetFlags(0).
CallResult Run(IWorkspace* workspace, const Call& call);

} // namespace simtest
