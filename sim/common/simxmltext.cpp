#include "simxmltext.h"

#include <windows.h>
#include "simerror.h"

namespace sim {

namespace {

// The reference that stands for `c`, or null for a character written as it is. Character
// data escapes markup and CR; an attribute value also its quote and the blanks that a
// parser would otherwise normalize.
const wchar_t* Reference(wchar_t c, bool inAttribute) {
    switch (c) {
    case L'&': return L"&amp;";
    case L'<': return L"&lt;";
    case L'>': return L"&gt;";
    case L'\r': return L"&#13;";
    case L'"': return inAttribute ? L"&quot;" : nullptr;
    case L'\t': return inAttribute ? L"&#9;" : nullptr;
    case L'\n': return inAttribute ? L"&#10;" : nullptr;
    default: return nullptr;
    }
}

// Runs of characters written as they are go in whole: task lists are megabytes long.
void AppendEscaped(std::wstring& out, std::wstring_view text, bool inAttribute) {
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t* reference = Reference(text[i], inAttribute);
        if (!reference) continue;
        out.append(text.data() + run, i - run);
        out += reference;
        run = i + 1;
    }
    out.append(text.data() + run, text.size() - run);
}

} // namespace

void AppendAttributeValue(std::wstring& out, std::wstring_view value) { AppendEscaped(out, value, true); }

void AppendAttribute(std::wstring& out, std::wstring_view name, std::wstring_view value) {
    out += L' ';
    out += name;
    out += L"=\"";
    AppendAttributeValue(out, value);
    out += L'"';
}

void AppendAttribute(std::wstring& out, std::wstring_view name, long long value) {
    wchar_t digits[24];
    wchar_t* first = digits + 24;
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        *--first = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--first = L'-';
    AppendAttribute(out, name, std::wstring_view(first, static_cast<size_t>(digits + 24 - first)));
}

void AppendCharacterData(std::wstring& out, std::wstring_view text) { AppendEscaped(out, text, false); }

size_t FindInvalidXmlCharacter(std::wstring_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') return i;
        if (c == 0xFFFE || c == 0xFFFF) return i;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return i;
            ++i;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return i;
        }
    }
    return std::wstring_view::npos;
}

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) Fail(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION), L"The text is not valid UTF-8");
    std::wstring text(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool StartsWith(std::wstring_view text, size_t at, std::wstring_view prefix) {
    return text.substr(at, prefix.size()) == prefix;
}

} // namespace

bool HasDocumentTypeDeclaration(std::wstring_view document) {
    size_t i = 0;
    if (!document.empty() && document[0] == 0xFEFF) i = 1;
    for (;;) {
        while (i < document.size() && IsBlank(document[i])) ++i;
        if (StartsWith(document, i, L"<?")) {
            size_t end = document.find(L"?>", i + 2);
            if (end == std::wstring_view::npos) return false;  // not well-formed: the parser says so
            i = end + 2;
        } else if (StartsWith(document, i, L"<!--")) {
            size_t end = document.find(L"-->", i + 4);
            if (end == std::wstring_view::npos) return false;
            i = end + 3;
        } else {
            // Names are case-sensitive in XML, but a parser that is lenient about the
            // keyword must not get a way around the refusal.
            std::wstring_view rest = document.substr(i, 9);
            return rest.size() == 9 && rest.substr(0, 2) == L"<!" &&
                   CompareStringOrdinal(rest.data() + 2, 7, L"DOCTYPE", 7, TRUE) == CSTR_EQUAL;
        }
    }
}

void RefuseUnreadableXml(std::wstring_view document, const wchar_t* what) {
    if (HasDocumentTypeDeclaration(document))
        Fail(E_INVALIDARG, L"%ls carries a document type declaration, which is not accepted", what);
    if (document.find(L'\0') != std::wstring_view::npos) Fail(E_INVALIDARG, L"%ls holds a NUL character", what);
}

void FailNotWellFormed(const wchar_t* what, std::wstring reason, long line) {
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ')) reason.pop_back();
    if (reason.empty()) reason = L"the text is not well-formed XML";
    Fail(E_INVALIDARG, L"%ls is not well-formed XML: %ls (line %ld)", what, reason.c_str(), line);
}

} // namespace sim
