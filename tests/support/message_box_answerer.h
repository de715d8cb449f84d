#pragma once
// Answers the message boxes the test thread shows, keeping what each one said.
// A watchdog ends a box the hook missed, so that a test never blocks.
#include <windows.h>
#include <string>
#include <vector>

struct ShownMessageBox {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
};

class MessageBoxAnswerer {
public:
    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<ShownMessageBox>& boxes() const { return boxes_; }
    // True when a box had to be ended by the watchdog instead of the hook.
    bool watchdogFired() const { return watchdogFired_; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wparam, LPARAM lparam);
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD);
    static void Answer(HWND box, bool byWatchdog);

    HHOOK hook_ = nullptr;
    UINT_PTR timer_ = 0;
    std::vector<ShownMessageBox> boxes_;
    std::vector<HWND> answered_;
    bool watchdogFired_ = false;
    static MessageBoxAnswerer* current_;
};
