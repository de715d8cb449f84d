#pragma once
// A copy of the sample workspace opened by the simulated host ("QRSim.Workspace", which
// must be registered in the prefix: tests/scripts/register-components.sh). The copy is
// deleted when the object goes; the committed sample is never changed.
#include <string>
#include "comidentifiers.h"
#include "winkit/com_ptr.h"

class SimWorkspace {
public:
    // Copies sim/data/sample-workspace.xml (found from the program's folder upwards) or
    // the given file into the folder (default: the temporary folder) and opens the copy.
    explicit SimWorkspace(const std::wstring& source = L"", const std::wstring& folder = L"");
    ~SimWorkspace();
    SimWorkspace(const SimWorkspace&) = delete;
    SimWorkspace& operator=(const SimWorkspace&) = delete;

    // Opens a fresh copy in the same workspace object, in place of the copy open now.
    bool Renew();

    bool ok() const { return static_cast<bool>(workspace_); }
    IWorkspace* Workspace() const { return workspace_.get(); }
    IDispatch* Dispatch() const { return dispatch_.get(); }
    const std::wstring& Path() const { return path_; }

    // Late-bound members of the simulated workspace.
    long TaskCount();
    std::wstring TaskField(long index, const wchar_t* field);
    std::wstring CallFramework(const wchar_t* method, const wchar_t* input);
    // The workspace file's text, as stored.
    std::wstring FileText() const;

    static std::wstring SampleWorkspacePath();

private:
    HRESULT Invoke(const wchar_t* name, std::initializer_list<VARIANT> arguments, VARIANT* result);
    bool OpenCopy();

    std::wstring source_;
    std::wstring folder_;
    std::wstring path_;
    winkit::ComPtr<IDispatch> dispatch_;
    winkit::ComPtr<IWorkspace> workspace_;
};
