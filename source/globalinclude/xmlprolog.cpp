#include "xmlprolog.h"

#include <string_view>

namespace {

using Text = std::wstring_view;

bool IsXmlSpace(wchar_t c) noexcept { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// The end of an XML declaration when its pseudo-attribute values are read as quoted
// strings (a quoted "?>" does not end it), or npos.
size_t QuoteAwareDeclarationEnd(Text rest) noexcept {
    wchar_t quote = 0;
    for (size_t i = 5; i + 1 < rest.size(); ++i) {
        wchar_t c = rest[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == L'"' || c == L'\'') {
            quote = c;
        } else if (c == L'?' && rest[i + 1] == L'>') {
            return i + 2;
        }
    }
    return Text::npos;
}

bool DeclarationFollows(Text rest) noexcept {
    for (;;) {
        size_t start = 0;
        while (start < rest.size() && IsXmlSpace(rest[start])) ++start;
        rest.remove_prefix(start);
        if (rest.substr(0, 4) == L"<!--") {
            size_t end = rest.find(L"-->", 4);
            // An unterminated comment is a malformed document: the reader fails on it
            // before anything behind it could count.
            if (end == Text::npos) return false;
            rest.remove_prefix(end + 3);
        } else if (rest.substr(0, 2) == L"<?") {
            // An instruction ends at the first "?>". An XML declaration whose values
            // hold "?>" is malformed; whichever way a reader recovers from that, a
            // declaration behind it is found.
            if (rest.substr(0, 5) == L"<?xml" && rest.size() > 5 && IsXmlSpace(rest[5])) {
                size_t quoted = QuoteAwareDeclarationEnd(rest);
                if (quoted != Text::npos && DeclarationFollows(rest.substr(quoted))) return true;
            }
            size_t end = rest.find(L"?>", 2);
            if (end == Text::npos) return false;
            rest.remove_prefix(end + 2);
        } else {
            return rest.substr(0, 9) == L"<!DOCTYPE";
        }
    }
}

} // namespace

bool HasDocumentTypeDeclaration(const wchar_t* text, size_t length) noexcept {
    if (!text) return false;
    Text rest(text, length);
    if (!rest.empty() && rest.front() == 0xFEFF) rest.remove_prefix(1);
    return DeclarationFollows(rest);
}
