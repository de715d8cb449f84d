#include "xmlprolog.h"

#include <cwchar>
#include <string_view>

namespace {

bool IsXmlSpace(wchar_t c) noexcept { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

} // namespace

bool HasDocumentTypeDeclaration(const wchar_t* text, size_t length) noexcept {
    if (!text) return false;
    std::wstring_view rest(text, length);
    if (!rest.empty() && rest.front() == 0xFEFF) rest.remove_prefix(1);
    for (;;) {
        size_t start = 0;
        while (start < rest.size() && IsXmlSpace(rest[start])) ++start;
        rest.remove_prefix(start);
        std::wstring_view terminator;
        size_t opening = 0;
        if (rest.substr(0, 4) == L"<!--") {
            terminator = L"-->";
            opening = 4;
        } else if (rest.substr(0, 2) == L"<?") {
            terminator = L"?>";
            opening = 2;
        } else {
            return rest.substr(0, 9) == L"<!DOCTYPE";
        }
        size_t end = rest.find(terminator, opening);
        // An unterminated comment or instruction is a malformed document: the reader
        // fails on it before it could reach a declaration behind it.
        if (end == std::wstring_view::npos) return false;
        rest.remove_prefix(end + terminator.size());
    }
}
