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

// Message map: the handlers are tried in order; the first that matches handles the message.
#define BEGIN_MSG_MAP(theClass)                                                                   \
public:                                                                                           \
    bool ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) { \
        (void)hWnd; (void)wParam; (void)lParam; (void)lResult;

#define END_MSG_MAP() \
        return false; \
    }

// LRESULT fn(UINT message, WPARAM, LPARAM)
#define MESSAGE_HANDLER_EX(msg, fn) \
    if (uMsg == (msg)) { lResult = fn(uMsg, wParam, lParam); return true; }

// Hands every message to another object's map first (a member that handles its own messages).
#define CHAIN_MSG_MAP_MEMBER(member) \
    if ((member).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return true;

// BOOL fn(HWND focus, LPARAM initParam): TRUE lets the system set the focus.
#define MSG_WM_INITDIALOG(fn) \
    if (uMsg == WM_INITDIALOG) { lResult = fn(reinterpret_cast<HWND>(wParam), lParam); return true; }

// void fn(UINT type, SIZE size)
#define MSG_WM_SIZE(fn) \
    if (uMsg == WM_SIZE) { fn(static_cast<UINT>(wParam), SIZE{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); lResult = 0; return true; }

// void fn(HWND window, POINT screenPoint); the point is (-1, -1) when it comes from the keyboard.
#define MSG_WM_CONTEXTMENU(fn) \
    if (uMsg == WM_CONTEXTMENU) { fn(reinterpret_cast<HWND>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); lResult = 0; return true; }

// void fn()
#define MSG_WM_DESTROY(fn) \
    if (uMsg == WM_DESTROY) { fn(); lResult = 0; return true; }

// void fn(int controlId, DRAWITEMSTRUCT*)
#define MSG_WM_DRAWITEM(fn) \
    if (uMsg == WM_DRAWITEM) { fn(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); lResult = TRUE; return true; }

// void fn(int controlId, MEASUREITEMSTRUCT*)
#define MSG_WM_MEASUREITEM(fn) \
    if (uMsg == WM_MEASUREITEM) { fn(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)); lResult = TRUE; return true; }

// void fn(int controlId, DELETEITEMSTRUCT*)
#define MSG_WM_DELETEITEM(fn) \
    if (uMsg == WM_DELETEITEM) { fn(static_cast<int>(wParam), reinterpret_cast<DELETEITEMSTRUCT*>(lParam)); lResult = TRUE; return true; }

// void fn(UINT notifyCode, int id, HWND control)
#define COMMAND_ID_HANDLER_EX(id, fn) \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) { fn(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)); lResult = 0; return true; }

// void fn(UINT notifyCode, int id, HWND control), for one notification code of one control
#define COMMAND_HANDLER_EX(id, code, fn) \
    if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) { fn(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)); lResult = 0; return true; }

// void fn(UINT notifyCode, int id, HWND control), for any control's notification code
#define COMMAND_CODE_HANDLER_EX(code, fn) \
    if (uMsg == WM_COMMAND && HIWORD(wParam) == (code)) { fn(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam)); lResult = 0; return true; }

// LRESULT fn(NMHDR*): the result goes to DWLP_MSGRESULT
#define NOTIFY_HANDLER_EX(id, notifyCode, fn) \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->idFrom == static_cast<UINT_PTR>(id) && \
        reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode)) { lResult = fn(reinterpret_cast<NMHDR*>(lParam)); return true; }

// LRESULT fn(NMHDR*), for one notification code of any control
#define NOTIFY_CODE_HANDLER_EX(notifyCode, fn) \
    if (uMsg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(notifyCode)) { lResult = fn(reinterpret_cast<NMHDR*>(lParam)); return true; }
