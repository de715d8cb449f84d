// simspreadsheetserver.exe, the spreadsheet application as a local server.
//   /RegServer, /UnregServer   write or remove its class and ProgIDs, then exit (0 on success)
//   anything else              (COM starts it with -Embedding) serve one application and
//                              quit once it is gone, or when nobody calls any more
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <string>
#include "applicationobject.h"
#include "res/simspreadsheet_resource.h"
#include "spreadsheetidentifiers.h"
#include "winkit/class_factory.h"
#include "winkit/com_module.h"
#include "winkit/com_ptr.h"
#include "winkit/registrar.h"
#include "winkit/unique_handle.h"

namespace {

// A server that was started but never asked for an application.
constexpr DWORD kUnusedLimitMs = 60 * 1000;
// A server whose objects nobody has called for this long: its caller is gone.
constexpr DWORD kIdleLimitMs = 120 * 1000;
constexpr UINT kPollMs = 100;

struct LocalMemoryCloser {
    void operator()(LPWSTR* memory) const noexcept { LocalFree(memory); }
};

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) return path.substr(0, n);
        path.resize(path.size() * 2);
    }
}

int Register(HINSTANCE instance, bool doRegister) {
    winkit::Registrar registrar({{L"CLSID", winkit::GuidToString(CLSID_QRSimSpreadsheetApplication)},
                                 {L"MODULE", ProgramPath()}});
    return SUCCEEDED(registrar.RegisterResource(instance, IDR_SPREADSHEET_REGISTRY, doRegister)) ? 0 : 1;
}

bool ShouldQuit(DWORD started) {
    DWORD now = GetTickCount();
    LONG held = winkit::ModuleLock::Count();
    if (held == 0) return ApplicationObject::MadeCount() > 0 || now - started > kUnusedLimitMs;
    return now - AutomationObject::LastCallTick() > kIdleLimitMs;
}

// Runs the message loop until the server should quit.
void RunUntilQuit() {
    DWORD started = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, kPollMs, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd) {
            if (ShouldQuit(started)) break;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    KillTimer(nullptr, timer);
}

HRESULT ServeApplications() {
    // One application per process: the next caller starts a server of its own.
    auto factory = winkit::ComPtr<IClassFactory>::Attach(new winkit::ClassFactory(&CreateSpreadsheetApplication));
    DWORD cookie = 0;
    HRESULT hr = CoRegisterClassObject(CLSID_QRSimSpreadsheetApplication, factory.get(), CLSCTX_LOCAL_SERVER,
                                       REGCLS_SINGLEUSE, &cookie);
    if (FAILED(hr)) return hr;
    RunUntilQuit();
    CoRevokeClassObject(cookie);
    // Applications still held by a caller that went away keep their workbooks now.
    for (ApplicationObject* application : ApplicationObject::Alive()) application->KeepWorkbooks();
    return S_OK;
}

int Serve() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    HRESULT hr = ServeApplications();
    CoUninitialize();
    return SUCCEEDED(hr) ? 0 : 1;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int count = 0;
    winkit::UniqueHandle<LPWSTR*, LocalMemoryCloser> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    for (int i = 1; arguments && i < count; ++i) {
        std::wstring argument = arguments.get()[i];
        if (argument.size() > 1 && (argument[0] == L'/' || argument[0] == L'-')) argument.erase(0, 1);
        if (CompareStringOrdinal(argument.c_str(), -1, L"RegServer", -1, TRUE) == CSTR_EQUAL) return Register(instance, true);
        if (CompareStringOrdinal(argument.c_str(), -1, L"UnregServer", -1, TRUE) == CSTR_EQUAL) return Register(instance, false);
    }
    return Serve();
}
