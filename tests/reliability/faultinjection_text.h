#pragma once
// Small text helpers of the fault injection suite.
#include <windows.h>
#include <cstdio>
#include <string>

namespace faultinjection {

inline std::string Narrow(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

inline std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

inline bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

inline bool ContainsNoCase(std::wstring text, std::wstring part) {
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    CharUpperBuffW(part.data(), static_cast<DWORD>(part.size()));
    return Contains(text, part);
}

// The call of a site "<phase> | <call>", without its phase.
inline std::wstring CallOf(const std::wstring& site) {
    size_t bar = site.find(L" | ");
    return bar == std::wstring::npos ? site : site.substr(bar + 3);
}

} // namespace faultinjection
