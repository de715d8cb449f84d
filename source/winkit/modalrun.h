#pragma once
// Exceptions never travel through the platform's window procedure frames: a handler's
// exception is caught by the dialog procedure, kept here, the innermost modal dialog is
// ended, and the exception is thrown again once its modal loop has returned.
#include <windows.h>
#include <exception>

namespace winkit {

class ModalRun {
public:
    // Opened by a modal dialog around its DialogBoxParam.
    ModalRun() noexcept;
    ~ModalRun();
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;

    // Throws what a handler raised during the run, if anything.
    void RethrowPending();

    // Called by a window procedure's catch-all: keeps the exception being handled and
    // ends the innermost modal dialog. Without a modal run the exception is dropped
    // after ending nothing (it cannot travel further safely).
    static void CaptureCurrentException(HWND source) noexcept;
    static bool HasPending() noexcept;
    // The modal dialog that the innermost run shows (set at its WM_INITDIALOG).
    static void SetInnermostDialog(HWND dialog) noexcept;

private:
    HWND dialog_ = nullptr;
    std::exception_ptr pending_;
    ModalRun* outer_;
};

} // namespace winkit
