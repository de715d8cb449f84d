#include "support/dialog_driver.h"

#include <gtest/gtest.h>
#include <cwchar>
#include <stdexcept>

namespace {

constexpr UINT kRunAction = WM_APP + 17;
constexpr const wchar_t* kWindowClass = L"QRCTestDialogDriver";

DialogDriver* current = nullptr;
HHOOK hook = nullptr;
HWND messageWindow = nullptr;

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[16] = {};
    ::GetClassNameW(window, found, 16);
    return _wcsicmp(found, name) == 0;
}

// A message box is a dialog whose text is the static control 0xFFFF.
bool IsMessageBox(HWND window) { return IsClass(window, L"#32770") && ::GetDlgItem(window, 0xFFFF); }

bool Shows(HWND control) { return control && (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE); }

// The box's buttons (those it did not hide) as its MB_ type.
UINT ButtonsOf(HWND box) {
    bool yes = Shows(::GetDlgItem(box, IDYES)), cancel = Shows(::GetDlgItem(box, IDCANCEL));
    if (yes) return cancel ? MB_YESNOCANCEL : MB_YESNO;
    return cancel ? MB_OKCANCEL : MB_OK;
}

// The icon of the box's icon control (0x440) as its MB_ICON value: the system's icons are
// shared.
UINT IconOf(HWND box) {
    HWND control = ::GetDlgItem(box, 0x440);
    HICON icon = Shows(control) ? reinterpret_cast<HICON>(::SendMessageW(control, STM_GETICON, 0, 0)) : nullptr;
    if (!icon) return 0;
    static const struct {
        const wchar_t* id;
        UINT style;
    } kIcons[] = {{IDI_HAND, MB_ICONHAND},
                  {IDI_QUESTION, MB_ICONQUESTION},
                  {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                  {IDI_ASTERISK, MB_ICONASTERISK}};
    for (const auto& known : kIcons)
        if (::LoadIconW(nullptr, known.id) == icon) return known.style;
    return MB_USERICON;
}

} // namespace

DialogDriver::DialogDriver(UINT watchdogSeconds) : previous_(current) {
    if (!previous_) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = &WindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kWindowClass;
        ::RegisterClassW(&windowClass);  // fails harmlessly when registered before
        messageWindow = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          windowClass.hInstance, nullptr);
        hook = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
    }
    current = this;
    timer_ = ::SetTimer(nullptr, 0, watchdogSeconds * 1000, &WatchdogTimer);
}

DialogDriver::~DialogDriver() {
    ::KillTimer(nullptr, timer_);
    current = previous_;
    if (previous_) return;
    ::UnhookWindowsHookEx(hook);
    ::DestroyWindow(messageWindow);
    hook = nullptr;
    messageWindow = nullptr;
}

void WhenDialogShown(const std::wstring& caption, std::function<void(HWND)> action) {
    if (!current) throw std::logic_error("no DialogDriver lives");
    current->WhenShown(caption, std::move(action));
}

bool DialogDriver::AnswerBox(HWND box) {
    // A box is activated again when it regains the focus: answered once.
    for (HWND done : answered_)
        if (done == box) return false;
    answered_.push_back(box);
    ShownMessageBox shown{WindowText(box), WindowText(::GetDlgItem(box, 0xFFFF)), ::GetWindow(box, GW_OWNER),
                          ButtonsOf(box) | IconOf(box)};
    boxes_.push_back(shown);
    int button = IDCANCEL;
    if (choose_) button = choose_(shown);
    else ADD_FAILURE() << "a message box nobody expected: " << testing::PrintToString(shown.text);
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return true;
}

void DialogDriver::RunAction(HWND dialog) {
    if (!::IsWindow(dialog)) return;
    // A modal dialog is activated, fully initialized, before its loop shows it once it
    // finds nothing else to do: shown now, as it would be a moment later.
    if (!::IsWindowVisible(dialog)) ::ShowWindow(dialog, SW_SHOWNORMAL);
    std::wstring caption = WindowText(dialog);
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it->caption != caption) continue;
        std::function<void(HWND)> action = std::move(it->action);
        pending_.erase(it);
        action(dialog);
        return;
    }
}

LRESULT CALLBACK DialogDriver::Hook(int code, WPARAM wparam, LPARAM lparam) {
    HWND window = reinterpret_cast<HWND>(wparam);
    if (code == HCBT_ACTIVATE && current) {
        if (IsMessageBox(window)) current->AnswerBox(window);
        else if (IsClass(window, L"#32770")) ::PostMessageW(messageWindow, kRunAction, wparam, 0);
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK DialogDriver::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kRunAction || !current) return ::DefWindowProcW(window, message, wparam, lparam);
    current->RunAction(reinterpret_cast<HWND>(wparam));
    return 0;
}

void CALLBACK DialogDriver::WatchdogTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!current) return;
    ADD_FAILURE() << "watchdog: the window test did not end in time";
    current->watchdogFired_ = true;
    current->pending_.clear();
    ::EndMenu();
    ::EnumThreadWindows(::GetCurrentThreadId(), &EndWindowOnWatchdog, 0);
}

BOOL CALLBACK DialogDriver::EndWindowOnWatchdog(HWND window, LPARAM) {
    bool answered = IsMessageBox(window) && current->AnswerBox(window);
    if (!answered && IsClass(window, L"#32770")) ::EndDialog(window, IDCANCEL);
    return TRUE;
}

namespace {

MenuSpy* activeSpy = nullptr;

void CALLBACK EndMenuOnce(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    ::EndMenu();
}

std::wstring ReadMenu(HMENU menu) {
    std::wstring text;
    for (UINT i = 0, n = static_cast<UINT>(::GetMenuItemCount(menu)); i < n; ++i) {
        wchar_t name[128] = {};
        ::GetMenuStringW(menu, i, name, 128, MF_BYPOSITION);
        UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
        std::wstring item = std::to_wstring(::GetMenuItemID(menu, static_cast<int>(i))) + L" " + name +
                            (state & MFS_GRAYED ? L" (grayed)" : L"") + (state & MFS_CHECKED ? L" (checked)" : L"");
        text += (i ? L"|" : L"") + (state & MF_SEPARATOR ? L"-" : item);
    }
    return text;
}

} // namespace

MenuSpy::MenuSpy() {
    activeSpy = this;
    hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
}

MenuSpy::~MenuSpy() {
    ::UnhookWindowsHookEx(hook_);
    activeSpy = nullptr;
}

LRESULT CALLBACK MenuSpy::Hook(int code, WPARAM wparam, LPARAM lparam) {
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && activeSpy && message->message == WM_INITMENUPOPUP) {
        // The owner prepares the menu before this message; read it once the owner is done.
        HMENU menu = reinterpret_cast<HMENU>(message->wParam);
        activeSpy->owner = message->hwnd;
        ++activeSpy->popupsShown;
        ::SetTimer(nullptr, 0, 30, EndMenuOnce);
        activeSpy->items = ReadMenu(menu);
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    ::GetWindowTextW(window, text, 512);
    return text;
}

LRESULT SendNotify(HWND parent, HWND control, UINT code) {
    NMHDR header = {};
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(control));
    header.code = code;
    return ::SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Click(HWND dialog, int id) { ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void Type(HWND page, int id, const std::wstring& text) {
    HWND edit = ::GetDlgItem(page, id);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND PageWith(HWND dialog, int controlId) {
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (::GetDlgItem(child, controlId)) return child;
    return nullptr;
}
