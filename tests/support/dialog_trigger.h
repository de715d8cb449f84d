#pragma once
// Runs an action on a dialog as soon as it is shown, from inside whatever modal loop
// then runs: a CBT hook sees the dialog activated and posts to a message-only window of
// the thread, which shows the dialog if its modal loop has not yet done so. (WhenDialogShown polls with a
// timer instead, which costs tens of milliseconds per dialog: too slow for thousands.
// A hook on every sent message would cost more still: Wine asks its server about
// hooks at every call, which makes filling a large list slower by orders of magnitude.)
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

class DialogTrigger {
public:
    DialogTrigger();
    ~DialogTrigger();
    DialogTrigger(const DialogTrigger&) = delete;
    DialogTrigger& operator=(const DialogTrigger&) = delete;

    // The next dialog (class "#32770", not a message box) shown with this caption
    // gets the action, once.
    void When(const std::wstring& caption, std::function<void(HWND)> action);
    // Actions still waiting for their dialog.
    size_t Pending() const { return pending_.size(); }
    void Clear() { pending_.clear(); }

private:
    struct Waiting {
        std::wstring caption;
        std::function<void(HWND)> action;
    };
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

    HHOOK hook_ = nullptr;
    HWND window_ = nullptr;
    std::vector<Waiting> pending_;
    static DialogTrigger* current_;
};
