#pragma once
// A control of a dialog subclassed by an object with a message map (SetWindowSubclass).
//
//   class CMyButton : public winkit::SubclassedWindow<CMyButton> {
//       BEGIN_MSG_MAP(CMyButton)
//           ...
//       END_MSG_MAP()
//   };
//
// Messages the map does not handle go on to the control's own procedure. A handler's
// exception is caught here, like the dialog procedure does, and ends the innermost
// modal dialog (modalrun.h): it never travels through the platform's frames.
#include <windows.h>
#include <commctrl.h>
#include "modalrun.h"
#include "window.h"

namespace winkit {

template <class T>
class SubclassedWindow : public Window {
public:
    SubclassedWindow() = default;
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;
    ~SubclassedWindow() { Unsubclass(); }

    // False when this object already subclasses a window or the subclass cannot be set.
    bool Subclass(HWND window) noexcept {
        if (hwnd_ || !window) return false;
        if (!::SetWindowSubclass(window, &SubclassProc, SubclassId(), reinterpret_cast<DWORD_PTR>(this))) return false;
        hwnd_ = window;
        return true;
    }

    void Unsubclass() noexcept {
        if (hwnd_) ::RemoveWindowSubclass(hwnd_, &SubclassProc, SubclassId());
        hwnd_ = nullptr;
    }

protected:
    LRESULT DefaultProc(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
        return ::DefSubclassProc(hwnd_, message, wparam, lparam);
    }

private:
    UINT_PTR SubclassId() const noexcept { return reinterpret_cast<UINT_PTR>(this); }

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                         DWORD_PTR data) {
        T* self = reinterpret_cast<T*>(data);
        if (message == WM_NCDESTROY) {
            // The window goes away: detach before its last message is handled.
            self->Unsubclass();
            return ::DefSubclassProc(hwnd, message, wparam, lparam);
        }
        LRESULT result = 0;
        try {
            if (self->ProcessWindowMessage(hwnd, message, wparam, lparam, result)) return result;
        } catch (...) {
            ModalRun::CaptureCurrentException(hwnd);
            return 0;
        }
        return ::DefSubclassProc(hwnd, message, wparam, lparam);
    }
};

} // namespace winkit
