#include "documenttype.h"

#include <cstdint>
#include <cstring>

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

// The first '!' at or after `p`, or `end`. Documents are megabytes long and hold
// almost none: four characters are tested at once, as the lanes of one 64-bit word.
const wchar_t* FindExclamationMark(const wchar_t* p, const wchar_t* end) noexcept {
    static_assert(sizeof(wchar_t) == 2, "UTF-16 text");
    constexpr uint64_t kMarks = 0x0021002100210021ull, kOnes = 0x0001000100010001ull, kHighs = 0x8000800080008000ull;
    for (; end - p >= 4; p += 4) {
        uint64_t lanes;
        std::memcpy(&lanes, p, sizeof lanes);
        const uint64_t differences = lanes ^ kMarks;  // a lane is zero where the mark is
        if ((differences - kOnes) & ~differences & kHighs) break;
    }
    for (; p < end; ++p)
        if (*p == L'!') return p;
    return end;
}

} // namespace

bool HasDocumentTypeDeclaration(std::wstring_view text) noexcept {
    constexpr size_t kKeywordLength = 7;  // "DOCTYPE" after "<!"
    const wchar_t* const begin = text.data();
    const wchar_t* const end = begin + text.size();
    for (const wchar_t* mark = FindExclamationMark(begin, end); mark != end; mark = FindExclamationMark(mark + 1, end))
        if (mark > begin && mark[-1] == L'<' && static_cast<size_t>(end - mark - 1) >= kKeywordLength &&
            IsDoctypeKeyword(mark + 1))
            return true;
    return false;
}
