#include "support/canary_file.h"

#include <windows.h>
#include <string>

namespace {

constexpr unsigned long long kLongAgo = 126227808000000000ull;  // 1 January 2001, as a FILETIME

FILETIME AsFileTime(unsigned long long value) {
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

} // namespace

CanaryFile::CanaryFile() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    marker_ = L"CANARY-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) + L"-SECRET";
    path_ = std::wstring(folder) + L"qrc_canary_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        std::string bytes(marker_.begin(), marker_.end());
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    SetAccessTimeLongAgo();
}

CanaryFile::~CanaryFile() { DeleteFileW(path_.c_str()); }

std::wstring CanaryFile::Url() const {
    std::wstring url = L"file:///" + path_;
    for (wchar_t& c : url)
        if (c == L'\\') c = L'/';
    return url;
}

void CanaryFile::SetAccessTimeLongAgo() const {
    HANDLE file = CreateFileW(path_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FILETIME longAgo = AsFileTime(kLongAgo);
    SetFileTime(file, nullptr, &longAgo, nullptr);
    CloseHandle(file);
}

unsigned long long CanaryFile::AccessTime() const {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.ftLastAccessTime.dwHighDateTime) << 32) |
           data.ftLastAccessTime.dwLowDateTime;
}

bool CanaryFile::WasRead() const { return AccessTime() != kLongAgo; }

bool CanaryFile::ReadsAreNoticed() {
    SetAccessTimeLongAgo();
    bool unreadBefore = !WasRead();
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[64];
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        CloseHandle(file);
    }
    bool noticed = unreadBefore && read > 0 && WasRead();
    SetAccessTimeLongAgo();
    return noticed && !WasRead();
}
