#include "reportfiles.h"

#include <shlobj.h>
#include <algorithm>
#include <cstdio>
#include "winkit/unique_handle.h"
#include "xlsxpackage.h"

namespace {

std::wstring RegistryText(const wchar_t* value) {
    wchar_t text[MAX_PATH * 4] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return {};
    return text;
}

std::wstring DocumentsFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    return path;
}

// Creates the file only when no file of that name exists yet.
winkit::UniqueKernelHandle CreateNewFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return winkit::UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20)), written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

void RecordLastReport(const std::wstring& path) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSpreadsheetSettingsKey, kLastReportValue, REG_SZ, path.c_str(),
                    static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
}

} // namespace

std::wstring ReportsFolder() {
    std::wstring configured = RegistryText(kReportsFolderValue);
    if (!configured.empty()) return WithoutTrailingSeparator(configured);
    return DocumentsFolder() + L"\\QRSim Reports";
}

std::wstring SaveWorkbook(const Workbook& book) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    uint16_t dosDate = static_cast<uint16_t>(((now.wYear - 1980) << 9) | (now.wMonth << 5) | now.wDay);
    uint16_t dosTime = static_cast<uint16_t>((now.wHour << 11) | (now.wMinute << 5) | (now.wSecond / 2));
    std::string package = XlsxPackage(book, dosTime, dosDate);

    std::wstring folder = ReportsFolder();
    int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) return {};

    wchar_t stem[64];
    std::swprintf(stem, 64, L"Workbook-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    for (unsigned counter = 1; counter < 10000; ++counter) {
        std::wstring path = folder + L"\\" + stem + L"-" + std::to_wstring(counter) + L".xlsx";
        winkit::UniqueKernelHandle file = CreateNewFile(path);
        if (!file) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return {};
        }
        bool written = WriteAll(file.get(), package);
        file.reset();
        if (!written) {
            DeleteFileW(path.c_str());
            return {};
        }
        RecordLastReport(path);
        return path;
    }
    return {};
}
