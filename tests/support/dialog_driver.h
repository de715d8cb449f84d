#pragma once
// Driving modal dialogs, menus and message boxes in window tests under the null display
// driver, where nothing ends a modal loop but code: actions run from thread timers once
// the window they wait for exists, and a watchdog fails the test and ends everything.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// Runs `action` with the dialog once a dialog (or message box) of this thread with this
// caption is shown, from inside whatever modal loop then runs.
void WhenDialogShown(const std::wstring& caption, std::function<void(HWND)> action);

// Fails the test and ends every menu and dialog of the thread (IDCANCEL) when it fires.
class Watchdog {
public:
    explicit Watchdog(UINT seconds = 30);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    UINT_PTR timer_;
};

// A menu item as the menu showed it.
struct ShownMenuItem {
    UINT id;
    std::wstring text;  // empty for a separator
    bool separator;
    bool grayed;
    bool checked;
};

// While it lives, every popup menu the thread opens is read when it is initialised and
// then closed (EndMenu) from a timer.
class MenuSpy {
public:
    MenuSpy();
    ~MenuSpy();
    MenuSpy(const MenuSpy&) = delete;
    MenuSpy& operator=(const MenuSpy&) = delete;

    int popupsShown = 0;
    std::vector<ShownMenuItem> items;  // of the last popup
    HWND owner = nullptr;              // the window that received WM_INITMENUPOPUP

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    HHOOK hook_;
};

std::vector<ShownMenuItem> ReadMenu(HMENU menu);

// The text of a window (caption, control text).
std::wstring WindowText(HWND window);
// A notification as the control sends it to its parent.
LRESULT SendNotify(HWND parent, HWND control, UINT code);
// A click on a push button: BM_CLICK, which sends its WM_COMMAND to the parent.
void Click(HWND dialog, int id);
// The page of a tabbed dialog (a child of the dialog itself) that holds the control;
// null when none does.
HWND PageWith(HWND dialog, int controlId);
