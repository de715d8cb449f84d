#include "qrerrorelement.h"

#include "winkit/text_compare.h"

QRErrorElement& QRErrorElement::Attribute(std::wstring_view name, std::wstring_view value) {
    text_.append(name);
    text_ += L"=\"";
    for (wchar_t c : value) text_ += (c == L'"') ? L'\'' : c;
    text_ += L"\" ";
    return *this;
}

bool IsQRErrorDocument(std::wstring_view text) {
    return text.size() >= 8 && winkit::EqualsNoCase(text.substr(0, 8), L"<QRError");
}

std::wstring FirstDesc(std::wstring_view text) {
    if (!IsQRErrorDocument(text)) return std::wstring(text);
    size_t i = 0;
    const size_t n = text.size();
    auto skipBlanks = [&] { while (i < n && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\n')) ++i; };
    skipBlanks();
    if (text.substr(i, 9) == L"<QRError ") i += 9;
    for (;;) {
        skipBlanks();
        if (i >= n || text.substr(i, 2) == L"/>") return {};
        size_t equals = text.find(L'=', i);
        if (equals == std::wstring_view::npos) return {};
        std::wstring_view name = text.substr(i, equals - i);
        i = equals + 2;  // the equals sign and the opening quote
        if (i > n) return {};
        size_t close = text.find(L'"', i);
        if (close == std::wstring_view::npos) return {};
        if (winkit::EqualsNoCase(name, L"Desc")) return std::wstring(text.substr(i, close - i));
        i = close + 1;
    }
}
