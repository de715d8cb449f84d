#pragma once
// Files that hold a component's state: reading them as text, recognizing a change made
// by someone else, and replacing them so that a failure at any point loses nothing.
#include <windows.h>
#include <string>
#include <string_view>

namespace sim {

// What identifies one version of a file: its last write time and its size.
struct FileStamp {
    FILETIME written = {};
    ULONGLONG size = 0;
    bool exists = false;

    static FileStamp Of(const std::wstring& path);
    bool operator==(const FileStamp& other) const;
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// The full path of `path` (relative paths are taken from the current directory).
std::wstring FullPath(const std::wstring& path);

// Reads a whole file as text: UTF-8 (with or without a byte order mark) or UTF-16 LE
// with its byte order mark. Throws a QRComException naming the file on failure.
std::wstring ReadTextFile(const std::wstring& path);

// Writes `bytes` into a new file in the same folder, flushes it, then moves it over
// `path` in one step. Until that step the old file stays as it was; on any failure the
// new file is removed and a QRComException is thrown.
void ReplaceFile(const std::wstring& path, std::string_view bytes);

} // namespace sim
