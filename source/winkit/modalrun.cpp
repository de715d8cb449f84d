#include "modalrun.h"

namespace winkit {
namespace {
thread_local ModalRun* innermost = nullptr;
} // namespace

ModalRun::ModalRun() noexcept : outer_(innermost) { innermost = this; }

ModalRun::~ModalRun() { innermost = outer_; }

void ModalRun::RethrowPending() {
    if (pending_) {
        std::exception_ptr e = pending_;
        pending_ = nullptr;
        std::rethrow_exception(e);
    }
}

void ModalRun::CaptureCurrentException(HWND source) noexcept {
    ModalRun* run = innermost;
    if (!run) return;
    if (!run->pending_) run->pending_ = std::current_exception();  // the first failure counts
    HWND dialog = run->dialog_ ? run->dialog_ : source;
    if (dialog) ::EndDialog(dialog, IDABORT);
}

void ModalRun::SetInnermostDialog(HWND dialog) noexcept {
    if (innermost) innermost->dialog_ = dialog;
}

bool ModalRun::HasPending() noexcept { return innermost && innermost->pending_; }

} // namespace winkit
