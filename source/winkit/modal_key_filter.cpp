#include "modal_key_filter.h"

#include "modalrun.h"

namespace winkit {
namespace {

// The thread's filters, innermost first, behind one hook that lives while any does.
struct FilterChain {
    ModalKeyFilter* innermost = nullptr;
    HHOOK hook = nullptr;
};
thread_local FilterChain chain;

} // namespace

void ModalKeyFilter::Start(HWND dialog, Handler handler) {
    Stop();
    if (!chain.hook) chain.hook = ::SetWindowsHookExW(WH_MSGFILTER, &Hook, nullptr, ::GetCurrentThreadId());
    dialog_ = dialog;
    handler_ = std::move(handler);
    outer_ = chain.innermost;
    chain.innermost = this;
}

void ModalKeyFilter::Stop() noexcept {
    if (!dialog_) return;
    for (ModalKeyFilter** link = &chain.innermost; *link; link = &(*link)->outer_) {
        if (*link == this) {
            *link = outer_;
            break;
        }
    }
    dialog_ = nullptr;
    handler_ = nullptr;
    outer_ = nullptr;
    if (!chain.innermost && chain.hook) {
        ::UnhookWindowsHookEx(chain.hook);
        chain.hook = nullptr;
    }
}

bool ModalKeyFilter::Covers(HWND window) const noexcept {
    return window == dialog_ || ::IsChild(dialog_, window);
}

bool ModalKeyFilter::Offer(const MSG& message) noexcept {
    try {
        return handler_(message);
    } catch (...) {
        ModalRun::CaptureCurrentException(dialog_);
        return true;
    }
}

LRESULT CALLBACK ModalKeyFilter::Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == MSGF_DIALOGBOX) {
        const MSG& message = *reinterpret_cast<const MSG*>(lparam);
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
            for (ModalKeyFilter* filter = chain.innermost; filter; filter = filter->outer_) {
                if (!filter->Covers(message.hwnd)) continue;
                if (filter->Offer(message)) return TRUE;
                break;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

} // namespace winkit
