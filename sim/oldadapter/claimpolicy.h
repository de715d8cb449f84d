#pragma once
// Which claims the adapter grants: an object locked by someone else cannot be claimed.
#include <string>
#include <string_view>
#include <vector>
#include "claimsdocument.h"

namespace sim {

// True unless the object is locked by someone other than `user` (compared without regard
// to case): a claim the user already holds is granted again.
bool ClaimGranted(const Claim& claim, std::wstring_view user);

// One line per refused claim, joined by CR LF; empty when every claim is granted.
std::wstring RefusedClaimsMessage(const std::vector<Claim>& claims, std::wstring_view user);

} // namespace sim
