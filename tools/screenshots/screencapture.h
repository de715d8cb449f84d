#pragma once
// Saves what the screen shows of a window (frame included) as a 24-bit BMP file.
// Under Wine it needs a real display: the X11 driver with Xvfb.
#include <windows.h>
#include <string>

// Redraws the window and its children, then copies its rectangle from the screen.
bool CaptureWindow(HWND window, const std::wstring& bmpPath);
