#include "decimal.h"

#include <climits>

namespace sim {

std::optional<long> ParseDecimal(std::wstring_view text) {
    bool negative = !text.empty() && text[0] == L'-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > static_cast<long long>(LONG_MAX) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < LONG_MIN || value > LONG_MAX) return std::nullopt;
    return static_cast<long>(value);
}

} // namespace sim
