#include "support/dialog_trigger.h"

#include <cwchar>

DialogTrigger* DialogTrigger::current_ = nullptr;

namespace {

constexpr UINT kRunAction = WM_APP + 17;
constexpr const wchar_t* kWindowClass = L"QRCTestDialogTrigger";

std::wstring Caption(HWND window) {
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::wcslen(text.c_str()));
    return text;
}

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    // Message boxes are dialogs too; their text is the static control 0xFFFF.
    return std::wcscmp(name, L"#32770") == 0 && !::GetDlgItem(window, 0xFFFF);
}

} // namespace

DialogTrigger::DialogTrigger() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassW(&windowClass);  // fails harmlessly when registered before
    window_ = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    current_ = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &Hook, nullptr, ::GetCurrentThreadId());
}

DialogTrigger::~DialogTrigger() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
    if (window_) ::DestroyWindow(window_);
    current_ = nullptr;
}

void DialogTrigger::When(const std::wstring& caption, std::function<void(HWND)> action) {
    pending_.push_back({caption, std::move(action)});
}

LRESULT CALLBACK DialogTrigger::Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && current_ && IsDialog(reinterpret_cast<HWND>(wparam)))
        ::PostMessageW(current_->window_, kRunAction, wparam, 0);
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

LRESULT CALLBACK DialogTrigger::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kRunAction || !current_) return ::DefWindowProcW(window, message, wparam, lparam);
    HWND dialog = reinterpret_cast<HWND>(wparam);
    if (!::IsWindow(dialog)) return 0;
    // A modal dialog is activated, fully initialized, before its loop shows it once it
    // finds nothing else to do: shown now, as it would be a moment later.
    if (!::IsWindowVisible(dialog)) ::ShowWindow(dialog, SW_SHOWNORMAL);
    std::wstring caption = Caption(dialog);
    auto& pending = current_->pending_;
    for (auto it = pending.begin(); it != pending.end(); ++it) {
        if (it->caption != caption) continue;
        std::function<void(HWND)> action = std::move(it->action);
        pending.erase(it);
        action(dialog);
        break;
    }
    return 0;
}
