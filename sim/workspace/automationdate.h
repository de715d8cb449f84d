#pragma once
// Dates received as OLE Automation dates and kept as text.
#include <optional>
#include <string>

namespace sim {

// "YYYY-MM-DD HH:MM:SS" (a form VarDateFromStr reads back in any locale), or nothing
// for a value that is not a date from the year 100 to 9999 (NaN and infinities too).
std::optional<std::wstring> AutomationDateText(double date);

} // namespace sim
