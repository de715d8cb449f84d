#include "settingsregistry.h"

#include <windows.h>
#include <limits>
#include <vector>
#include "simerror.h"
#include "winkit/unique_handle.h"

namespace sim {

std::wstring SettingsKeyPath(std::wstring_view path) {
    std::wstring key = kSettingsBaseKey;
    if (!path.empty()) {
        key += L'\\';
        key += path;
    }
    return key;
}

void CheckNodeName(std::wstring_view name) {
    std::wstring copy(name);
    if (name.empty()) Fail(E_INVALIDARG, L"A settings node needs a name");
    if (name.size() > 255) Fail(E_INVALIDARG, L"The settings node name '%ls' is longer than 255 characters", copy.c_str());
    if (name.find(L'\\') != std::wstring_view::npos)
        Fail(E_INVALIDARG, L"The settings node name '%ls' holds a backslash", copy.c_str());
}

std::optional<std::wstring> ReadSetting(std::wstring_view path, std::wstring_view name) {
    std::wstring key = SettingsKeyPath(path);
    std::wstring value(name);
    DWORD bytes = 0;
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    for (;;) {
        LSTATUS rc = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), flags, nullptr, nullptr, &bytes);
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND || rc == ERROR_UNSUPPORTED_TYPE) return std::nullopt;
        if (rc != ERROR_SUCCESS) FailWin32(rc, L"Unable to read the setting '%ls' of '%ls'", value.c_str(), key.c_str());
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        rc = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), flags, nullptr, buffer.data(), &size);
        if (rc == ERROR_MORE_DATA) continue;  // written meanwhile: ask again
        if (rc == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (rc != ERROR_SUCCESS) FailWin32(rc, L"Unable to read the setting '%ls' of '%ls'", value.c_str(), key.c_str());
        return std::wstring(buffer.data());
    }
}

void WriteSetting(std::wstring_view path, std::wstring_view name, std::wstring_view text) {
    std::wstring key = SettingsKeyPath(path);
    std::wstring value(name);
    winkit::UniqueHKey handle;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(), nullptr);
    if (rc != ERROR_SUCCESS) FailWin32(rc, L"Unable to create the settings node '%ls'", key.c_str());
    std::wstring data(text);
    rc = RegSetValueExW(handle.get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) FailWin32(rc, L"Unable to write the setting '%ls' of '%ls'", value.c_str(), key.c_str());
}

void DeleteSettingsNode(std::wstring_view path) {
    std::wstring key = SettingsKeyPath(path);
    LSTATUS rc = RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) {
        rc = RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return;
    }
    FailWin32(rc, L"Unable to delete the settings node '%ls'", key.c_str());
}

std::optional<unsigned long long> EntryNumber(std::wstring_view name) {
    if (name.empty()) return std::nullopt;
    unsigned long long value = 0;
    constexpr unsigned long long kMax = std::numeric_limits<unsigned long long>::max();
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9') return std::nullopt;
        unsigned digit = static_cast<unsigned>(c - L'0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

void DeleteEntriesFrom(std::wstring_view path, unsigned long long first) {
    std::wstring key = SettingsKeyPath(path);
    winkit::UniqueHKey parent;
    LSTATUS rc = RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, parent.put());
    if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_PATH_NOT_FOUND) return;
    if (rc != ERROR_SUCCESS) FailWin32(rc, L"Unable to open the settings node '%ls'", key.c_str());
    // Collect first: deleting while enumerating would shift the indexes.
    std::vector<std::wstring> doomed;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        rc = RegEnumKeyExW(parent.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS) FailWin32(rc, L"Unable to list the settings nodes of '%ls'", key.c_str());
        std::optional<unsigned long long> number = EntryNumber(std::wstring_view(name, length));
        if (number && *number >= first) doomed.emplace_back(name, length);
    }
    parent.reset();
    for (const std::wstring& name : doomed) {
        std::wstring child(path);
        if (!child.empty()) child += L'\\';
        child += name;
        DeleteSettingsNode(child);
    }
}

} // namespace sim
