#include "claimpolicy.h"

#include <windows.h>

namespace sim {

namespace {

bool SameUser(std::wstring_view a, std::wstring_view b) {
    return !a.empty() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring Refusal(const Claim& claim) {
    std::wstring line = claim.name.empty() ? L"The object " + claim.oid : claim.name + L" (OID " + claim.oid + L")";
    line += L" is locked";
    if (!claim.lockedBy.empty()) line += L" by " + claim.lockedBy;
    line += L" and cannot be claimed";
    return line;
}

} // namespace

bool ClaimGranted(const Claim& claim, std::wstring_view user) { return !claim.locked || SameUser(claim.lockedBy, user); }

std::wstring RefusedClaimsMessage(const std::vector<Claim>& claims, std::wstring_view user) {
    std::wstring message;
    for (const Claim& claim : claims) {
        if (ClaimGranted(claim, user)) continue;
        if (!message.empty()) message += L"\r\n";
        message += Refusal(claim);
    }
    return message;
}

} // namespace sim
