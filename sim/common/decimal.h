#pragma once
// Reading decimal numbers written by programs: an optional minus sign and digits only.
#include <optional>
#include <string_view>

namespace sim {

// The number, or nothing for an empty text, other characters (blanks too) or a value
// outside the range of long.
std::optional<long> ParseDecimal(std::wstring_view text);

} // namespace sim
