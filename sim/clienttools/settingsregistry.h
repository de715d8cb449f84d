#pragma once
// Where the simulated settings store keeps its nodes: registry keys under
// HKEY_CURRENT_USER\Software\QRSim\ClientTools, one key per node, named by its path.
#include <optional>
#include <string>
#include <string_view>

namespace sim {

inline constexpr const wchar_t* kSettingsBaseKey = L"Software\\QRSim\\ClientTools";

// The key of the node at `path` (names joined by backslashes; empty for the store's top).
std::wstring SettingsKeyPath(std::wstring_view path);
// Throws a QRComException (E_INVALIDARG) for a name a node cannot have: empty, longer
// than 255 characters, or holding a backslash.
void CheckNodeName(std::wstring_view name);

// The value's text, or nothing when the node or the value does not exist.
std::optional<std::wstring> ReadSetting(std::wstring_view path, std::wstring_view name);
// Creates the node's key when needed and writes the value as text.
void WriteSetting(std::wstring_view path, std::wstring_view name, std::wstring_view text);
// Removes the node at `path` with everything below it; a missing node is no error.
void DeleteSettingsNode(std::wstring_view path);
// Removes the child nodes of `path` whose names are decimal numbers of `first` or more.
void DeleteEntriesFrom(std::wstring_view path, unsigned long long first);

// The value of a name made of decimal digits only (no sign, no blank); nothing for other
// names. Numbers too large to hold count as the largest.
std::optional<unsigned long long> EntryNumber(std::wstring_view name);

} // namespace sim
