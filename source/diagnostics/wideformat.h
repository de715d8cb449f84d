#pragma once
// printf-style formatting into a growing wide string.
#include <cstdarg>
#include <string>

// Formats into a buffer that starts with room for `initial` characters and doubles
// until the text fits.
std::wstring FormatWideV(const wchar_t* format, va_list args, size_t initial = 512);
std::wstring FormatWide(const wchar_t* format, ...);
