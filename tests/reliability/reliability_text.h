#pragma once
// Text helpers of the reliability suites: failure messages are UTF-8, codes are hex.
#include <windows.h>
#include <string>
#include "diagnostics/hresulttext.h"

inline std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

// The texts of the two message boxes the To Do list's commands bring up; a count of tasks
// comes before the second.
inline const wchar_t* const kDeleteQuestion =
    L"This action will permanently delete the selected tasks from the workspace\nDo you want to continue?";
inline const wchar_t* const kNotCompleted = L" task(s) have not completed - Check the To Do list.";

inline bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }
