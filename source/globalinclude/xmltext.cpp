#include "xmltext.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cwctype>
#include <limits>

std::wstring EscapeXml(std::wstring_view text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    ForEachEscapedRun(text.data(), text.size(),
                      [&](const wchar_t* run, size_t length) { escaped.append(run, length); });
    return escaped;
}

namespace {

// The C runtime's printf and scanf families follow setlocale (a comma under German):
// the charconv functions never do, so numbers are written and read with them.
size_t Widen(const char* text, size_t length, wchar_t (&buffer)[kXmlNumberBufferSize]) noexcept {
    for (size_t i = 0; i < length; ++i) buffer[i] = static_cast<unsigned char>(text[i]);
    buffer[length] = L'\0';
    return length;
}

} // namespace

size_t FormatXmlDouble(double value, wchar_t (&buffer)[kXmlNumberBufferSize]) noexcept {
    char narrow[kXmlNumberBufferSize];
    auto done = std::to_chars(narrow, narrow + sizeof narrow - 1, value, std::chars_format::general, 16);
    return Widen(narrow, done.ec == std::errc() ? static_cast<size_t>(done.ptr - narrow) : 0, buffer);
}

size_t FormatXmlLong(long value, wchar_t (&buffer)[kXmlNumberBufferSize]) noexcept {
    char narrow[kXmlNumberBufferSize];
    auto done = std::to_chars(narrow, narrow + sizeof narrow - 1, value);
    return Widen(narrow, static_cast<size_t>(done.ptr - narrow), buffer);
}

bool ParseDouble(const wchar_t* text, double* value) noexcept {
    *value = std::numeric_limits<double>::quiet_NaN();
    if (!text) return false;
    while (std::iswspace(*text)) ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
    // A number never needs more characters than this; longer digit runs only lose
    // digits beyond the precision of a double.
    char narrow[400];
    size_t length = 0;
    while (length < sizeof narrow && text[length] > L' ' && text[length] < 0x7F) {
        narrow[length] = static_cast<char>(text[length]);
        ++length;
    }
    if (length == 0 || narrow[0] == '-' || narrow[0] == '+') return false;
    double parsed = 0;
    auto done = std::from_chars(narrow, narrow + length, parsed, std::chars_format::general);
    if (done.ec == std::errc::result_out_of_range) {
        // "%lf" gives HUGE_VAL on overflow and 0 on underflow where charconv refuses.
        std::string_view number(narrow, static_cast<size_t>(done.ptr - narrow));
        size_t exponent = number.find_first_of("eE");
        bool underflow = exponent != std::string_view::npos && exponent + 1 < number.size() && number[exponent + 1] == '-';
        parsed = underflow ? 0.0 : HUGE_VAL;
    } else if (done.ec != std::errc()) {
        return false;
    }
    *value = negative ? -parsed : parsed;
    return true;
}

HRESULT ParseBool(const wchar_t* text, bool* value) noexcept {
    if (!text) return E_FAIL;
    static const wchar_t* const kTrue[] = {L"1", L"true", L"on", L"yes"};
    static const wchar_t* const kFalse[] = {L"0", L"false", L"off", L"no"};
    for (const wchar_t* word : kTrue)
        if (_wcsicmp(text, word) == 0) return *value = true, S_OK;
    for (const wchar_t* word : kFalse)
        if (_wcsicmp(text, word) == 0) return *value = false, S_OK;
    return E_FAIL;
}

long ParseLeadingLong(const wchar_t* text) noexcept {
    if (!text) return 0;
    while (std::iswspace(*text)) ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
    long long magnitude = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        magnitude = magnitude * 10 + (*text - L'0');
        if (magnitude > static_cast<long long>(LONG_MAX) + 1) magnitude = static_cast<long long>(LONG_MAX) + 1;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > LONG_MAX) return LONG_MAX;
    if (signedValue < LONG_MIN) return LONG_MIN;
    return static_cast<long>(signedValue);
}
