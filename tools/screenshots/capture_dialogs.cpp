// Opens the To Do List on a workspace of the simulated host, then Configure View, and
// saves a picture of each (24-bit BMP files) as they are on the screen. Run under a real
// display (Wine's X11 driver with Xvfb); see take-screenshots.sh.
//
//   qrcscreenshots.exe <workspace file> <output folder>
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "configureview.h"
#include "screencapture.h"
#include "module.h"
#include "tasklistdlg.h"
#include "winkit/com_ptr.h"
#include "winkit/unique_bstr.h"
#include "winkit/unique_handle.h"

namespace {

std::wstring outputFolder;
int failures = 0;

// The window as the screen shows it, frame included.
void Capture(HWND window, const wchar_t* name) {
    std::wstring path = outputFolder + L"\\" + name + L".bmp";
    if (CaptureWindow(window, path)) {
        std::wprintf(L"saved %ls\n", path.c_str());
    } else {
        std::wprintf(L"cannot write %ls\n", path.c_str());
        ++failures;
    }
}

// Steps run one after the other from a timer inside whatever modal loop is running, with
// time for painting between them.
std::vector<std::function<void()>> steps;
size_t nextStep = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (nextStep >= steps.size()) {
        KillTimer(nullptr, id);
        return;
    }
    std::function<void()> step = steps[nextStep++];
    step();
}

HWND FindDialog(const wchar_t* caption) { return FindWindowW(L"#32770", caption); }

void SelectTab(HWND view, int tab) {
    HWND tabs = GetDlgItem(view, IDC_CV_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR header = {tabs, IDC_CV_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(view, WM_NOTIFY, IDC_CV_TABS, reinterpret_cast<LPARAM>(&header));
}

void AddRule(HWND view, const wchar_t* column, int radio, const wchar_t* value) {
    HWND combo = GetDlgItem(view, IDC_CV_COLUMN);
    SendMessageW(combo, CB_SETCURSEL,
                 SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(column)), 0);
    for (int id = IDC_CV_BEGINSWITH; id <= IDC_CV_ISEQUAL; ++id) CheckDlgButton(view, id, id == radio ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(view, IDC_CV_VALUE, value);
    SendMessageW(GetDlgItem(view, IDC_CV_RULE_ADD), BM_CLICK, 0, 0);
}

winkit::ComPtr<IWorkspace> OpenWorkspace(const std::wstring& file) {
    CLSID clsid;
    winkit::ComPtr<IDispatch> workspace;
    if (FAILED(CLSIDFromProgID(L"QRSim.Workspace", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, workspace.put_void()))) {
        std::wprintf(L"QRSim.Workspace is not registered\n");
        return {};
    }
    wchar_t name[] = L"Open";
    LPOLESTR names[] = {name};
    DISPID open = 0;
    workspace->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &open);
    VARIANT argument;
    V_VT(&argument) = VT_BSTR;
    V_BSTR(&argument) = SysAllocString(file.c_str());
    DISPPARAMS parameters = {&argument, nullptr, 1, 0};
    HRESULT hr = workspace->Invoke(open, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    VariantClear(&argument);
    if (FAILED(hr)) {
        std::wprintf(L"cannot open %ls: 0x%08lX\n", file.c_str(), static_cast<unsigned long>(hr));
        return {};
    }
    winkit::ComPtr<IWorkspace> result;
    workspace.QueryTo(IID_IWorkspace, result.put_void());
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::wprintf(L"usage: qrcscreenshots <workspace file> <output folder>\n");
        return 2;
    }
    outputFolder = argv[2];
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    InitializeLibraryModule(GetModuleHandleW(nullptr));
    int code = 1;
    {
        winkit::ComPtr<IWorkspace> workspace = OpenWorkspace(argv[1]);
        if (workspace) {
            CTaskListDlg dialog(workspace.get());
            steps = {
                [&] {
                    SetWindowPos(dialog, nullptr, 24, 24, 1000, 430, SWP_NOZORDER);
                    SetForegroundWindow(dialog);
                    // Widths a user would give the long columns by dragging their header borders.
                    const int widths[] = {190, 250, 120, 125};
                    winkit::ListViewCtrl list(dialog.Item(IDC_TASKLIST_LIST));
                    for (int i = 0; i < 4; ++i) list.SetColumnWidth(i, widths[i]);
                    list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
                    SetFocus(list);
                },
                [] {},
                [&] { Capture(dialog, L"todolist"); },
                [&] { PostMessageW(dialog, WM_COMMAND, ID_TASKLIST_SETTINGS, 0); },
                [] {
                    HWND view = FindDialog(L"Configure View");
                    SetWindowPos(view, nullptr, 60, 60, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
                    SetForegroundWindow(view);
                    // A view without the last four columns; "Item Name" chosen.
                    for (int i = 0; i < 4; ++i) {
                        int count = static_cast<int>(SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_GETCOUNT, 0, 0));
                        SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, static_cast<WPARAM>(count - 1), 0);
                        SendMessageW(GetDlgItem(view, IDC_CV_REMOVE), BM_CLICK, 0, 0);
                    }
                    SendDlgItemMessageW(view, IDC_CV_VISIBLE, LB_SETCURSEL, 2, 0);
                    SendMessageW(view, WM_COMMAND, MAKEWPARAM(IDC_CV_VISIBLE, LBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(GetDlgItem(view, IDC_CV_VISIBLE)));
                    SetFocus(GetDlgItem(view, IDC_CV_VISIBLE));
                },
                [] {},
                [] { Capture(FindDialog(L"Configure View"), L"configureview-columns"); },
                [] {
                    HWND view = FindDialog(L"Configure View");
                    SelectTab(view, 1);
                    AddRule(view, L"Task Name", IDC_CV_BEGINSWITH, L"Update");
                    AddRule(view, L"Created By", IDC_CV_CONTAINS, L"jdoe");
                    AddRule(view, L"Item Name", IDC_CV_ENDSWITH, L"01");
                    SendDlgItemMessageW(view, IDC_CV_RULES, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                    SetFocus(GetDlgItem(view, IDC_CV_VALUE));
                },
                [] {},
                [] { Capture(FindDialog(L"Configure View"), L"configureview-filter"); },
                [] { PostMessageW(FindDialog(L"Configure View"), WM_COMMAND, IDCANCEL, 0); },
                [&] { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
            };
            SetTimer(nullptr, 0, 700, &RunStep);
            try {
                dialog.DoModal(nullptr);
                code = failures ? 1 : 0;
            } catch (...) {
                std::wprintf(L"the dialog failed\n");
            }
        }
    }
    winkit::ComModule::Get().Term();
    CoUninitialize();
    return code;
}
