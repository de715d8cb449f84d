#include "documenttype.h"

namespace {

constexpr wchar_t AsciiUpper(wchar_t c) noexcept { return c >= L'a' && c <= L'z' ? c - (L'a' - L'A') : c; }

// "DOCTYPE" has no letter that another character folds to, so ASCII folding is the
// same as any locale's.
bool IsDoctypeKeyword(const wchar_t* at) noexcept {
    static constexpr wchar_t kKeyword[] = L"DOCTYPE";
    for (size_t i = 0; i + 1 < sizeof kKeyword / sizeof kKeyword[0]; ++i)
        if (AsciiUpper(at[i]) != kKeyword[i]) return false;
    return true;
}

} // namespace

bool HasDocumentTypeDeclaration(std::wstring_view text) noexcept {
    constexpr size_t kMarkupLength = 9;  // "<!DOCTYPE"
    if (text.size() < kMarkupLength) return false;
    const wchar_t* const last = text.data() + text.size() - kMarkupLength;
    for (const wchar_t* p = text.data(); p <= last; ++p)
        if (p[0] == L'<' && p[1] == L'!' && IsDoctypeKeyword(p + 2)) return true;
    return false;
}
