#include "support/canary_file.h"

#include <windows.h>
#include <string>

namespace {

constexpr unsigned long long kLongAgo = 126227808000000000ull;  // 1 January 2001, as a FILETIME

} // namespace

CanaryFile::CanaryFile() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::wstring process = std::to_wstring(GetCurrentProcessId());
    marker_ = L"CANARY-" + process + L"-" + std::to_wstring(GetTickCount()) + L"-SECRET";
    path_ = std::wstring(folder) + L"qrc_canary_" + process + L".txt";
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
    FILETIME longAgo = {static_cast<DWORD>(kLongAgo), static_cast<DWORD>(kLongAgo >> 32)};
    SetFileTime(file, nullptr, &longAgo, nullptr);
    CloseHandle(file);
}

bool CanaryFile::WasRead() const {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data)) return true;
    const FILETIME& accessed = data.ftLastAccessTime;
    return ((static_cast<unsigned long long>(accessed.dwHighDateTime) << 32) | accessed.dwLowDateTime) != kLongAgo;
}

bool CanaryFile::ReadsAreNoticed() {
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
