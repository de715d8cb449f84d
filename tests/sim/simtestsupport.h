#pragma once
// Shared helpers of the partner component tests: scratch folders, copies of the sample
// workspace, whole-file reads, and calls through the host's service requests.
#include <windows.h>
#include <oaidl.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>
#include "hostinterfaces.h"
#include "simworkspacelib.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_variant.h"

namespace simtest {

// A new, empty folder under %TEMP%, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }
    // Names of the files in the folder.
    std::vector<std::wstring> Files() const;

private:
    std::wstring path_;
};

// The committed sample workspace (never written by the tests).
std::wstring SampleWorkspacePath();
// Copies the sample into `folder` and returns the copy's path.
std::wstring CopySample(const ScratchFolder& folder, const wchar_t* name = L"workspace.xml");
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string Utf8(const std::wstring& text);

// The description of the thread's error information (taken, so it is cleared), or "".
std::wstring TakeErrorDescription();

// A workspace object of the linked workspace code, with `path` open.
winkit::ComPtr<IWorkspace> OpenWorkspace(const std::wstring& path);
winkit::ComPtr<IQRSimWorkspace> Scriptable(IWorkspace* workspace);

struct Field {
    const wchar_t* name;
    winkit::UniqueVariant value;
};
Field I4(const wchar_t* name, LONG value);
Field Text(const wchar_t* name, const wchar_t* value);
Field Date(const wchar_t* name, double value);

// A record call: SetFlags(0), SetComponent, SetMethod, BeginInput, BeginElement("TaskItem"),
// the fields, EndElement("TaskItem"), Execute(0), and GetOutput after success.
struct CallResult {
    HRESULT hr = E_FAIL;
    std::wstring output;
    std::wstring error;  // description of the error information after a failure
};
CallResult RecordCall(IWorkspace* workspace, const wchar_t* method, std::initializer_list<Field> fields,
                      const wchar_t* component = L"QRDBEFrameworkSvcs.Main");
// A text call: as above, with SetInput (only for a non-empty input) instead of the record.
CallResult TextCall(IWorkspace* workspace, const wchar_t* method, const std::wstring& input = {});

} // namespace simtest
