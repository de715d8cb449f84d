#pragma once
// Keys a modal dialog takes before the dialog manager does. The platform's modal loops
// offer every message to the thread's message filter hooks (MSGF_DIALOGBOX) before
// IsDialogMessage turns Tab, arrows, Enter and Escape into navigation; a dialog with
// keys of its own (Ctrl+Tab switching tabs) registers here for the life of its window.
#include <windows.h>
#include <functional>

namespace winkit {

class ModalKeyFilter {
public:
    // Answers true for a key it used: the dialog manager and the control never see it.
    using Handler = std::function<bool(const MSG&)>;

    ModalKeyFilter() noexcept = default;
    ~ModalKeyFilter() { Stop(); }
    ModalKeyFilter(const ModalKeyFilter&) = delete;
    ModalKeyFilter& operator=(const ModalKeyFilter&) = delete;

    // Keyboard messages for the dialog and the windows inside it go to the handler first.
    // A handler's exception ends the innermost modal dialog (modalrun.h).
    void Start(HWND dialog, Handler handler);
    void Stop() noexcept;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    bool Covers(HWND window) const noexcept;
    bool Offer(const MSG& message) noexcept;

    HWND dialog_ = nullptr;
    Handler handler_;
    ModalKeyFilter* outer_ = nullptr;
};

} // namespace winkit
