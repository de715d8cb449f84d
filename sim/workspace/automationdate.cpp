#include "automationdate.h"

#include <windows.h>
#include <oleauto.h>
#include <cmath>
#include <cwchar>

namespace sim {

std::optional<std::wstring> AutomationDateText(double date) {
    // Beyond these the conversion below has no answer (1 January 100 and 31 December 9999).
    if (!std::isfinite(date) || date < -657434.0 || date >= 2958466.0) return std::nullopt;
    SYSTEMTIME time = {};
    if (!VariantTimeToSystemTime(date, &time)) return std::nullopt;
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute,
             time.wSecond);
    return std::wstring(text);
}

} // namespace sim
