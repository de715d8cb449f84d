#pragma once
// Dialogs built from a dialog template resource, with message maps and typed handlers.
//
//   class CMyDlg : public winkit::DialogImpl<CMyDlg> {
//   public:
//       enum { IDD = 115 };
//       BEGIN_MSG_MAP(CMyDlg)
//           MSG_WM_INITDIALOG(OnInitDialog)
//           COMMAND_ID_HANDLER_EX(IDOK, OnOk)
//       END_MSG_MAP()
//   };
//
// The object is stored with the window at WM_INITDIALOG. Handlers may throw: the
// dialog procedure catches, ends the innermost modal dialog and DoModal throws the
// exception again after its loop has returned (see modalrun.h).
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>
#include "com_module.h"
#include "message_map.h"
#include "modalrun.h"
#include "window.h"

namespace winkit {

template <class T>
class DialogImpl : public Window {
public:
    DialogImpl() = default;
    DialogImpl(const DialogImpl&) = delete;
    DialogImpl& operator=(const DialogImpl&) = delete;
    virtual ~DialogImpl() {
        if (modeless_ && IsWindow()) ::DestroyWindow(hwnd_);
    }

    // Runs the dialog modally; returns its end code, or -1 when it could not be made.
    INT_PTR DoModal(HWND parent, LPARAM initParam = 0) {
        initParam_ = initParam;
        ModalRun run;
        INT_PTR code = ::DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent, &DialogImpl::StaticProc,
                                         reinterpret_cast<LPARAM>(this));
        run.RethrowPending();
        return code;
    }

    // Creates the dialog as a modeless window (pages of a tabbed dialog).
    HWND Create(HWND parent, LPARAM initParam = 0) {
        initParam_ = initParam;
        modeless_ = true;
        return ::CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent, &DialogImpl::StaticProc,
                                    reinterpret_cast<LPARAM>(this));
    }

    void EndDialog(INT_PTR code) { ::EndDialog(hwnd_, code); }

    // The instance whose resources hold the templates: the module's.
    static HINSTANCE ResourceInstance() {
        HINSTANCE instance = ComModule::Get().Instance();
        return instance ? instance : ::GetModuleHandleW(nullptr);
    }

protected:
    LPARAM InitParam() const { return initParam_; }

private:
    static INT_PTR CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        T* self;
        if (message == WM_INITDIALOG) {
            self = static_cast<T*>(reinterpret_cast<DialogImpl*>(lparam));
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            lparam = self->initParam_;
        } else {
            self = reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
            if (!self) return FALSE;
        }
        if (message == WM_INITDIALOG && !self->modeless_) {
            // The innermost modal run ends this dialog when a handler throws.
            ModalRun::SetInnermostDialog(hwnd);
        }
        LRESULT result = 0;
        bool handled = false;
        try {
            handled = self->ProcessWindowMessage(hwnd, message, wparam, lparam, result);
        } catch (...) {
            ModalRun::CaptureCurrentException(hwnd);
            return TRUE;
        }
        if (message == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->hwnd_ = nullptr;
        }
        if (!handled) return FALSE;
        switch (message) {
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
            return TRUE;
        }
    }

    LPARAM initParam_ = 0;
    bool modeless_ = false;
};

} // namespace winkit
