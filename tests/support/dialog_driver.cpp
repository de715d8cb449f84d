#include "support/dialog_driver.h"

#include <gtest/gtest.h>
#include <map>

namespace {

struct Pending {
    std::wstring caption;
    std::function<void(HWND)> action;
};

std::map<UINT_PTR, Pending>& PendingActions() {
    static std::map<UINT_PTR, Pending> pending;
    return pending;
}

HWND FindThreadDialog(const std::wstring& caption) {
    struct Search {
        const std::wstring* caption;
        HWND found;
    } search = {&caption, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t className[32] = {};
            ::GetClassNameW(window, className, 32);
            if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window) && WindowText(window) == *s->caption) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK PendingTimer(HWND, UINT, UINT_PTR id, DWORD) {
    auto& pending = PendingActions();
    auto it = pending.find(id);
    if (it == pending.end()) {
        ::KillTimer(nullptr, id);
        return;
    }
    HWND dialog = FindThreadDialog(it->second.caption);
    if (!dialog) return;
    ::KillTimer(nullptr, id);
    std::function<void(HWND)> action = std::move(it->second.action);
    pending.erase(it);
    action(dialog);
}

void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR, DWORD) {
    ADD_FAILURE() << "watchdog: the window test did not end in time";
    ::EndMenu();
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t className[32] = {};
            ::GetClassNameW(window, className, 32);
            if (std::wstring(className) == L"#32770") ::EndDialog(window, IDCANCEL);
            return TRUE;
        },
        0);
    PendingActions().clear();
}

MenuSpy* activeSpy = nullptr;

} // namespace

void WhenDialogShown(const std::wstring& caption, std::function<void(HWND)> action) {
    UINT_PTR id = ::SetTimer(nullptr, 0, 20, &PendingTimer);
    PendingActions()[id] = Pending{caption, std::move(action)};
}

Watchdog::Watchdog(UINT seconds) : timer_(::SetTimer(nullptr, 0, seconds * 1000, &WatchdogTimer)) {}

Watchdog::~Watchdog() {
    ::KillTimer(nullptr, timer_);
    for (auto& p : PendingActions()) ::KillTimer(nullptr, p.first);
    PendingActions().clear();
}

std::vector<ShownMenuItem> ReadMenu(HMENU menu) {
    std::vector<ShownMenuItem> items;
    for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 127;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back({info.wID, text, (info.fType & MFT_SEPARATOR) != 0, (info.fState & MFS_GRAYED) != 0,
                         (info.fState & MFS_CHECKED) != 0});
    }
    return items;
}

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
        ::SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR id, DWORD) {
            ::KillTimer(nullptr, id);
            ::EndMenu();
        });
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

HWND PageWith(HWND dialog, int controlId) {
    struct Search {
        int id;
        HWND found = nullptr;
    } search{controlId};
    ::EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (::GetParent(child) == ::GetAncestor(child, GA_ROOT) && ::GetDlgItem(child, s->id)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
