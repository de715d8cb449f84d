#pragma once
// Message maps with typed handlers, shared by dialogs (dialog_impl.h) and subclassed
// controls (subclassed_window.h). The map is a member function; statements other than
// the macros may stand between them.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

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
