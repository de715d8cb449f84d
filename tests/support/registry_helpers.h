#pragma once
// Reading the registry and running programs of the prefix in tests.
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

// The default (or named) string value of a key, or nothing when the key or value is absent.
std::optional<std::wstring> RegistryString(HKEY root, const std::wstring& path, const wchar_t* value = nullptr);
bool RegistryKeyExists(HKEY root, const std::wstring& path);
std::vector<std::wstring> RegistrySubkeys(HKEY root, const std::wstring& path);
std::vector<std::wstring> RegistryValueNames(HKEY root, const std::wstring& path);

// Runs a command line and returns its exit code (or -1 when it could not start).
DWORD RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// The folder of the running program, with a trailing backslash.
std::wstring ProgramFolder();
