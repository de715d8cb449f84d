#include "wideformat.h"

#include <cstdio>
#include <cwchar>

std::wstring FormatWideV(const wchar_t* format, va_list args, size_t initial) {
    if (!format) return {};
    std::wstring buffer(initial ? initial : 512, L'\0');
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size()) {
            buffer.resize(n);
            return buffer;
        }
        if (buffer.size() > (1u << 28)) return {};  // a format that can never fit
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring FormatWide(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatWideV(format, args);
    va_end(args);
    return text;
}
