// A host of the To Do list, as an engineering application is one: it creates the
// library's QRCTaskList by ProgID, gives it the workspace and shows it over its window.
// Here the workspace is the simulated host's, opened on a workspace file.
//
//   qrcdemo.exe <workspace file> [--walkthrough <output folder>]
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <memory>
#include <string>
#include "hostinterfaces.h"
#include "qrcigeframeworksvcs.h"
#include "walkthrough.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_variant.h"

namespace {

HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** out) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) return hr;
    return CoCreateInstance(clsid, nullptr, CLSCTX_ALL, iid, out);
}

// The simulated host's workspace, opened late-bound as a host script would.
HRESULT OpenWorkspace(const std::wstring& file, winkit::ComPtr<IDispatch>& workspace) {
    HRESULT hr = CreateByProgId(L"QRSim.Workspace", IID_IDispatch, workspace.put_void());
    if (FAILED(hr)) return hr;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Open")};
    DISPID open = 0;
    if (FAILED(hr = workspace->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &open))) return hr;
    winkit::UniqueVariant path = winkit::UniqueVariant::String(file);
    DISPPARAMS parameters = {path.get(), nullptr, 1, 0};
    return workspace->Invoke(open, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
}

void PrintError(const wchar_t* what, HRESULT hr) {
    std::wprintf(L"%ls failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
    winkit::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) == S_OK && info) {
        winkit::UniqueBstr source, description;
        info->GetSource(source.put());
        info->GetDescription(description.put());
        std::wprintf(L"  source      %ls\n  description %ls\n", source.c_str(), description.c_str());
    }
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || (argc > 2 && (argc != 4 || std::wstring(argv[2]) != L"--walkthrough"))) {
        std::wprintf(L"usage: qrcdemo <workspace file> [--walkthrough <output folder>]\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    int code = 1;
    {
        winkit::ComPtr<IDispatch> workspace;
        winkit::ComPtr<IQRCTaskList> list;
        HRESULT hr = OpenWorkspace(argv[1], workspace);
        if (FAILED(hr)) {
            PrintError(L"Opening the workspace", hr);
        } else if (FAILED(hr = CreateByProgId(L"QRCGenericSvcs.QRCTaskList", IID_IQRCTaskList, list.put_void()))) {
            PrintError(L"Creating QRCGenericSvcs.QRCTaskList", hr);
        } else if (FAILED(hr = list->Initialize(workspace.get()))) {
            PrintError(L"Initialize", hr);
        } else {
            std::wprintf(L"%-13ls %ls\n", L"workspace", argv[1]);
            std::fflush(stdout);
            std::unique_ptr<demo::Walkthrough> walkthrough;
            if (argc == 4) {
                walkthrough = std::make_unique<demo::Walkthrough>(argv[3]);
                walkthrough->Start();
            }
            VARIANT_BOOL ok = VARIANT_FALSE;
            hr = list->Show(0, &ok);
            if (FAILED(hr)) {
                PrintError(L"Show", hr);
            } else {
                std::wprintf(L"%-13ls returned S_OK, the dialog ended with %ls\n", L"Show", ok ? L"OK" : L"Cancel");
                code = walkthrough && (!walkthrough->Finished() || walkthrough->Failures()) ? 1 : 0;
            }
        }
    }
    CoUninitialize();
    return code;
}
