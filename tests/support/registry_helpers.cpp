#include "support/registry_helpers.h"

#include "winkit/unique_handle.h"

std::optional<std::wstring> RegistryString(HKEY root, const std::wstring& path, const wchar_t* value) {
    DWORD size = 0;
    if (RegGetValueW(root, path.c_str(), value, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, path.c_str(), value, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(wcslen(text.c_str()));
    return text;
}

bool RegistryKeyExists(HKEY root, const std::wstring& path) {
    winkit::UniqueHKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The names RegEnumKeyExW or RegEnumValueW gives for the key, in the registry's order.
template <class Enumerate>
static std::vector<std::wstring> Names(HKEY root, const std::wstring& path, Enumerate enumerate) {
    std::vector<std::wstring> names;
    winkit::UniqueHKey key;
    wchar_t name[256];
    DWORD length = 256;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    for (DWORD i = 0; enumerate(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS; ++i) {
        names.emplace_back(name, length);
        length = 256;
    }
    return names;
}

std::vector<std::wstring> RegistrySubkeys(HKEY root, const std::wstring& path) { return Names(root, path, RegEnumKeyExW); }

std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path) {
    return Names(root, path, RegEnumValueW);
}

DWORD RunProcess(const std::wstring& commandLine, DWORD timeoutMs) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    winkit::UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        return static_cast<DWORD>(-1);
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}
