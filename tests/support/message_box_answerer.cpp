#include "support/message_box_answerer.h"

#include <cwchar>

MessageBoxAnswerer* MessageBoxAnswerer::current_ = nullptr;

namespace {

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return wcscmp(name, L"#32770") == 0;
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(wcslen(text.c_str()));
    return text;
}

// The box's message is its longest static text (the icon is a static without text).
BOOL CALLBACK CollectStaticText(HWND child, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    auto* longest = reinterpret_cast<std::wstring*>(found);
    if (_wcsicmp(name, L"Static") == 0) {
        std::wstring text = WindowText(child);
        if (text.size() > longest->size()) *longest = text;
    }
    return TRUE;
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (IsDialogWindow(window) && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer() {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_CBT, &HookProc, nullptr, GetCurrentThreadId());
    timer_ = SetTimer(nullptr, 0, 10000, &Watchdog);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    KillTimer(nullptr, timer_);
    if (hook_) UnhookWindowsHookEx(hook_);
    current_ = nullptr;
}

void MessageBoxAnswerer::Answer(HWND box, bool byWatchdog) {
    if (!current_) return;
    // A box is activated again when it regains the focus: answer it once.
    for (HWND done : current_->answered_)
        if (done == box) return;
    current_->answered_.push_back(box);
    ShownMessageBox shown;
    shown.title = WindowText(box);
    EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&shown.text));
    shown.owner = GetWindow(box, GW_OWNER);
    current_->boxes_.push_back(shown);
    current_->watchdogFired_ |= byWatchdog;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

LRESULT CALLBACK MessageBoxAnswerer::HookProc(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && current_) {
        HWND window = reinterpret_cast<HWND>(wparam);
        if (IsDialogWindow(window)) Answer(window, false);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

void CALLBACK MessageBoxAnswerer::Watchdog(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&box));
    if (box) Answer(box, true);
}
