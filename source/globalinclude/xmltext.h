#pragma once
// Texts as XML carries them: escaping, and numbers and booleans in a form that does not
// depend on the process locale (a document written under a German locale must read the
// same under an English one).
#include <windows.h>
#include <cstddef>
#include <string>
#include <string_view>

// The entity written in place of a character, or null when the character stands for
// itself. Attribute values and text are escaped alike.
inline const wchar_t* XmlEntityFor(wchar_t c) noexcept {
    static const wchar_t* const kEntities[L'>' + 1] = {
        L"&#00;", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, L"&#10;", nullptr, nullptr, L"&#13;", nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, L"&quot;", nullptr, nullptr, nullptr, L"&amp;", L"&apos;",
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
        nullptr, nullptr, nullptr, nullptr, L"&lt;", nullptr, L"&gt;",
    };
    return c <= L'>' ? kEntities[c] : nullptr;
}

// Hands the escaped form of text to write(pointer, length) as runs of unchanged
// characters and entities, so that nothing is copied twice.
template <class Write>
void ForEachEscapedRun(const wchar_t* text, size_t length, Write&& write) {
    const wchar_t* run = text;
    const wchar_t* end = text + length;
    for (const wchar_t* p = text; p != end; ++p) {
        const wchar_t* entity = XmlEntityFor(*p);
        if (!entity) continue;
        if (p != run) write(run, static_cast<size_t>(p - run));
        write(entity, std::char_traits<wchar_t>::length(entity));
        run = p + 1;
    }
    if (end != run) write(run, static_cast<size_t>(end - run));
}

std::wstring EscapeXml(std::wstring_view text);

// Room for any number written by the functions below, with its terminating NUL.
inline constexpr size_t kXmlNumberBufferSize = 64;

// Sixteen significant digits as "%.16g" gives them in the C locale ("0.1", "1",
// "0.3333333333333333", "1e+20"), whatever the process locale. Returns the length.
size_t FormatXmlDouble(double value, wchar_t (&buffer)[kXmlNumberBufferSize]) noexcept;
size_t FormatXmlLong(long value, wchar_t (&buffer)[kXmlNumberBufferSize]) noexcept;

// Reads a double as "%lf" reads one in the C locale: leading white space, a sign and
// trailing characters are allowed. Empty, null or unreadable text gives false and NaN.
bool ParseDouble(const wchar_t* text, double* value) noexcept;

// "1", "true", "on", "yes" and "0", "false", "off", "no", without regard to case;
// anything else gives E_FAIL and leaves *value unchanged.
HRESULT ParseBool(const wchar_t* text, bool* value) noexcept;

// The leading decimal integer of a text (white space and a sign before it allowed, no
// digits give 0); values beyond the 32-bit range are clamped to it.
long ParseLeadingLong(const wchar_t* text) noexcept;
