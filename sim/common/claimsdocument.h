#pragma once
// The claims document that the simulated framework answers and the adapter accepts:
//
//   <Claims>
//   <Claim OID="1001" Name="P-101" Locked="0"/>
//   <Claim OID="1002" Name="V-205" Locked="1" LockedBy="kmueller"/>
//   </Claims>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Claim {
    std::wstring oid;
    std::wstring name;
    bool locked = false;
    std::wstring lockedBy;
};

// One element per line, as the framework writes it.
std::wstring WriteClaims(const std::vector<Claim>& claims);

// Reads a claims document. Throws a QRComException (E_INVALIDARG) for text that is not
// well-formed, carries a document type declaration, has another root than Claims, or a
// Claim without OID or with a Locked value other than 0, 1, true or false.
// Elements other than Claim are passed over.
std::vector<Claim> ParseClaims(std::wstring_view document);

} // namespace sim
