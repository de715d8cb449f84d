#pragma once
// Driving modal dialogs, menus and message boxes in window tests under the null display
// driver, where nothing ends a modal loop but code.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct ShownMessageBox {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
    UINT style = 0;  // its MB_ buttons and icon, as read from the box
};

// While it lives, the modal windows of the test thread are driven from inside whatever
// modal loop runs: a CBT hook sees each dialog activated; a message box is recorded and
// answered at once, a dialog is handed to the action waiting for its caption through a
// message-only window of the thread (timers would cost tens of milliseconds per dialog; a
// hook on every sent message makes Wine ask its server about hooks at every call). The
// watchdog, a thread timer, fails the test and ends every menu, box and dialog of the
// thread when the test has not ended in time. A driver made while another lives takes
// over until it ends.
class DialogDriver {
public:
    explicit DialogDriver(UINT watchdogSeconds = 30);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The next dialog (not a message box) shown with this caption gets the action, once.
    void WhenShown(const std::wstring& caption, std::function<void(HWND)> action) {
        pending_.push_back({caption, std::move(action)});
    }

    // The button that answers each message box (IDOK, IDYES...). Until one is chosen, a
    // box fails the test and is cancelled.
    void Answer(int button) {
        Answer([button](const ShownMessageBox&) { return button; });
    }
    void Answer(std::function<int(const ShownMessageBox&)> choose) { choose_ = std::move(choose); }
    const std::vector<ShownMessageBox>& boxes() const { return boxes_; }
    // True once the watchdog had to end something.
    bool watchdogFired() const { return watchdogFired_; }

private:
    struct Waiting {
        std::wstring caption;
        std::function<void(HWND)> action;
    };
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    static void CALLBACK WatchdogTimer(HWND, UINT, UINT_PTR, DWORD);
    static BOOL CALLBACK EndWindowOnWatchdog(HWND window, LPARAM);
    // False for a box answered before.
    bool AnswerBox(HWND box);
    void RunAction(HWND dialog);

    DialogDriver* previous_;
    HHOOK hook_ = nullptr;
    HWND window_ = nullptr;
    UINT_PTR timer_ = 0;
    std::vector<Waiting> pending_;
    std::function<int(const ShownMessageBox&)> choose_;
    std::vector<ShownMessageBox> boxes_;
    std::vector<HWND> answered_;
    bool watchdogFired_ = false;
};

// The living driver's WhenShown.
void WhenDialogShown(const std::wstring& caption, std::function<void(HWND)> action);

// While it lives, every popup menu the thread opens is read when it is initialised and
// then closed (EndMenu) from a timer.
class MenuSpy {
public:
    MenuSpy();
    ~MenuSpy();
    MenuSpy(const MenuSpy&) = delete;
    MenuSpy& operator=(const MenuSpy&) = delete;

    int popupsShown = 0;
    // The last popup's items: "32770 Properties (grayed)|-|32772 Completed Tasks (checked)".
    std::wstring items;
    HWND owner = nullptr;  // the window that received WM_INITMENUPOPUP

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam);
    HHOOK hook_;
};

// The text of a window (caption, control text).
std::wstring WindowText(HWND window);
// A notification as the control sends it to its parent.
LRESULT SendNotify(HWND parent, HWND control, UINT code);
// A click on a push button: BM_CLICK, which sends its WM_COMMAND to the parent.
void Click(HWND dialog, int id);
// What the user types replaces the whole text of an edit. Multi-line edits report no
// change for WM_SETTEXT, only for what the user enters.
void Type(HWND page, int id, const std::wstring& text);
// The page of a tabbed dialog (a child of the dialog itself) that holds the control;
// null when none does.
HWND PageWith(HWND dialog, int controlId);
