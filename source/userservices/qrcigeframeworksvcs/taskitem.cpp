#include "taskitem.h"

namespace {
const wchar_t* const kStatusWords[kStatusCount] = {L"Open", L"InProgress", L"Completed", L"Error", L"Deferred"};
const wchar_t* const kCategoryWords[kCategoryCount] = {L"Create", L"Delete", L"Update", L"Claim",
                                                       L"UnClaim", L"Manual", L"Delete"};
} // namespace

std::wstring StatusWord(int status) {
    return status >= 0 && status < kStatusCount ? kStatusWords[status] : std::to_wstring(status);
}

std::wstring CategoryWord(int category) {
    return category >= 0 && category < kCategoryCount ? kCategoryWords[category] : std::to_wstring(category);
}
