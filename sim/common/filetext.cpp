#include "filetext.h"

#include <algorithm>
#include <vector>
#include "simerror.h"
#include "winkit/unique_handle.h"
#include "simxmltext.h"

namespace sim {

FileStamp FileStamp::Of(const std::wstring& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return stamp;
    stamp.exists = true;
    stamp.written = data.ftLastWriteTime;
    stamp.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return stamp;
}

bool FileStamp::operator==(const FileStamp& other) const {
    return exists == other.exists && size == other.size && CompareFileTime(&written, &other.written) == 0;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) FailWin32(GetLastError(), L"The path '%ls' is not valid", path.c_str());
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

std::wstring ReadTextFile(const std::wstring& path) {
    winkit::UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        (void)file.release();
        FailWin32(GetLastError(), L"Unable to open '%ls'", path.c_str());
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.get(), &size)) FailWin32(GetLastError(), L"Unable to read '%ls'", path.c_str());
    if (size.QuadPart > 512LL * 1024 * 1024) Fail(E_INVALIDARG, L"'%ls' is too large", path.c_str());
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.get(), bytes.data() + done, want, &chunk, nullptr))
            FailWin32(GetLastError(), L"Unable to read '%ls'", path.c_str());
        if (chunk == 0) break;
        done += chunk;
    }
    bytes.resize(done);
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2 != 0) Fail(E_INVALIDARG, L"'%ls' is not valid UTF-16", path.c_str());
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    }
    std::string_view text(bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    try {
        return FromUtf8(text);
    } catch (QRComException&) {
        Fail(HRESULT_FROM_WIN32(ERROR_NO_UNICODE_TRANSLATION), L"'%ls' is not valid UTF-8", path.c_str());
    }
}

namespace {

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

// Removes the new file unless it has been moved into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
    ~TemporaryFile() { if (!path_.empty()) DeleteFileW(path_.c_str()); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::wstring& path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::wstring path_;
};

} // namespace

void ReplaceFile(const std::wstring& path, std::string_view bytes) {
    std::wstring folder = FolderOf(path);
    std::vector<wchar_t> name(MAX_PATH + 1, L'\0');
    // The new file must lie in the same folder (the same volume) for the move to be one step.
    if (!GetTempFileNameW(folder.c_str(), L"qrs", 0, name.data()))
        FailWin32(GetLastError(), L"Unable to create a new file beside '%ls'", path.c_str());
    TemporaryFile temporary(name.data());
    {
        winkit::UniqueKernelHandle file(CreateFileW(temporary.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) {
            (void)file.release();
            FailWin32(GetLastError(), L"Unable to write '%ls'", temporary.path().c_str());
        }
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = 0;
            DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
            if (!WriteFile(file.get(), bytes.data() + done, want, &chunk, nullptr))
                FailWin32(GetLastError(), L"Unable to write '%ls'", temporary.path().c_str());
            done += chunk;
        }
        if (!FlushFileBuffers(file.get()))
            FailWin32(GetLastError(), L"Unable to write '%ls'", temporary.path().c_str());
    }
    if (!MoveFileExW(temporary.path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        FailWin32(GetLastError(), L"Unable to replace '%ls'", path.c_str());
    temporary.Keep();
}

} // namespace sim
