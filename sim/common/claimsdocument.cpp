#include "claimsdocument.h"

#include "domreader.h"
#include "simerror.h"
#include "simxmltext.h"

namespace sim {

std::wstring WriteClaims(const std::vector<Claim>& claims) {
    std::wstring text = L"<Claims>\n";
    for (const Claim& claim : claims) {
        text += L"<Claim";
        AppendAttribute(text, L"OID", claim.oid);
        AppendAttribute(text, L"Name", claim.name);
        AppendAttribute(text, L"Locked", claim.locked ? L"1" : L"0");
        if (!claim.lockedBy.empty()) AppendAttribute(text, L"LockedBy", claim.lockedBy);
        text += L"/>\n";
    }
    text += L"</Claims>";
    return text;
}

namespace {

bool ParseLocked(const std::wstring& text, bool& locked) {
    if (text.empty() || text == L"0" || text == L"false") { locked = false; return true; }
    if (text == L"1" || text == L"true") { locked = true; return true; }
    return false;
}

} // namespace

std::vector<Claim> ParseClaims(std::wstring_view document) {
    if (document.empty()) Fail(E_INVALIDARG, L"The claims document is empty");
    DomReader reader(document, L"The claims document");
    DomElement root = reader.Root();
    std::wstring rootName = DomReader::Name(root.get());
    if (rootName != L"Claims")
        Fail(E_INVALIDARG, L"The claims document has the root element '%ls' instead of 'Claims'", rootName.c_str());
    std::vector<Claim> claims;
    for (const DomElement& element : DomReader::Children(root.get())) {
        if (DomReader::Name(element.get()) != L"Claim") continue;
        Claim claim;
        claim.oid = DomReader::Attribute(element.get(), L"OID");
        if (claim.oid.empty())
            Fail(E_INVALIDARG, L"Claim %zu of the claims document has no OID", claims.size() + 1);
        claim.name = DomReader::Attribute(element.get(), L"Name");
        std::wstring locked = DomReader::Attribute(element.get(), L"Locked");
        if (!ParseLocked(locked, claim.locked))
            Fail(E_INVALIDARG, L"Claim %ls has the Locked value '%ls'; 0, 1, true or false are expected",
                 claim.oid.c_str(), locked.c_str());
        claim.lockedBy = DomReader::Attribute(element.get(), L"LockedBy");
        claims.push_back(std::move(claim));
    }
    return claims;
}

} // namespace sim
