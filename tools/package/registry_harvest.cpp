// qrcharvest.exe <library.dll> <rows.wxi>
// The Windows Installer registry rows of a COM server: what the DLL's own registration
// writes, so that a package and regsvr32 cannot disagree. Run in a throwaway Wine
// prefix: the DLL is unregistered, the classes root read, the DLL registered, the root
// read again and the DLL unregistered; every value that appeared becomes a row, and so
// does every new key with neither values nor subkeys. Only the registry view of the DLL's
// bitness is read: registration also copies the type library and its interfaces into the
// other view, which the package of the other architecture writes for its own DLL, so
// that either package installs and uninstalls without touching the other's entries. The DLL's path and folder in a
// value become the package's own ("[#QRCIGEFrameworkSvcs.dll]", "[INSTALLDIR]").
#include <windows.h>
#include <cstdio>
#include <map>
#include <string>
#include "winkit/unique_handle.h"

namespace {

// The values under HKLM\Software\Classes in the view of this program's bitness, by key
// and value name; a key with neither values nor subkeys holds one entry named "*", which
// as a package's row creates the key and removes it again on uninstall (Windows Installer
// removes the other keys once their values are gone).
struct Value {
    DWORD type = REG_NONE;
    std::wstring data;
    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};
using Snapshot = std::map<std::pair<std::wstring, std::wstring>, Value>;

const wchar_t kClasses[] = L"Software\\Classes";

void Read(HKEY key, const std::wstring& path, Snapshot& out) {
    DWORD valueCount = 0, subkeyCount = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount, nullptr, nullptr,
                     nullptr, nullptr);
    if (valueCount == 0 && subkeyCount == 0) out[{path, L"*"}] = Value{};
    for (DWORD i = 0; i < valueCount; ++i) {
        wchar_t name[16384];
        BYTE data[32768];
        DWORD nameLength = 16384, size = sizeof data - sizeof(wchar_t), type = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) continue;
        Value value{type, {}};
        if (type == REG_DWORD)
            value.data = std::to_wstring(*reinterpret_cast<DWORD*>(data));
        else
            value.data.assign(reinterpret_cast<const wchar_t*>(data), wcsnlen(reinterpret_cast<const wchar_t*>(data), size / 2));
        out[{path, name}] = value;
    }
    for (DWORD i = 0; i < subkeyCount; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
        // The 64-bit view shows the 32-bit one as a subkey.
        if (path.empty() && _wcsicmp(name, L"Wow6432Node") == 0) continue;
        winkit::UniqueHKey subkey;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, subkey.put()) != ERROR_SUCCESS) continue;
        Read(subkey.get(), path.empty() ? name : path + L"\\" + name, out);
    }
}

Snapshot Read() {
    Snapshot snapshot;
    winkit::UniqueHKey classes;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClasses, 0, KEY_READ, classes.put()) == ERROR_SUCCESS)
        Read(classes.get(), L"", snapshot);
    return snapshot;
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& what, const std::wstring& by) {
    for (size_t at = 0; !what.empty() && (at = text.find(what, at)) != std::wstring::npos; at += by.size())
        text.replace(at, what.size(), by);
    return text;
}

std::wstring Xml(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// The rows of the values that `after` holds and `before` does not, with the DLL's path
// and folder replaced by the package's own.
std::wstring Rows(const Snapshot& before, const Snapshot& after, const std::wstring& file) {
    const std::wstring folder = file.substr(0, file.find_last_of(L'\\') + 1);
    std::wstring rows;
    int count = 0;
    for (const auto& [where, value] : after) {
        auto old = before.find(where);
        if (old != before.end() && old->second == value) continue;
        const wchar_t* type = value.type == REG_DWORD ? L"integer" : value.type == REG_EXPAND_SZ ? L"expandable" : L"string";
        std::wstring data = ReplaceAll(ReplaceAll(value.data, file, L"[#QRCIGEFrameworkSvcs.dll]"), folder, L"[INSTALLDIR]");
        // The folder may stand without its last backslash (a type library's HELPDIR).
        if (data == folder.substr(0, folder.size() - 1)) data = L"[INSTALLDIR]";
        rows += L"  <RegistryValue Id=\"Registry" + std::to_wstring(++count) + L"\" Root=\"HKCR\" Key=\"" +
                Xml(where.first) + L"\"" + (where.second.empty() ? L"" : L" Name=\"" + Xml(where.second) + L"\"") +
                L" Type=\"" + type + L"\" Value=\"" + Xml(data) + L"\"/>\n";
    }
    return rows;
}

bool Write(const wchar_t* path, const std::wstring& library, const std::wstring& rows) {
    const std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- Made by qrcharvest.exe from what " + library +
                              L"'s own registration writes. -->\n<Include>\n" + rows + L"</Include>\n";
    FILE* out = _wfopen(path, L"wb");
    if (!out) return false;
    const std::string bytes = Utf8(text);
    bool written = fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return fclose(out) == 0 && written;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fwprintf(stderr, L"usage: qrcharvest <library.dll> <rows.wxi>\n");
        return 2;
    }
    wchar_t path[MAX_PATH];
    GetFullPathNameW(argv[1], MAX_PATH, path, nullptr);
    HMODULE library = LoadLibraryW(path);
    auto registerServer = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(library, "DllRegisterServer"));
    auto unregisterServer = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(library, "DllUnregisterServer"));
    if (!registerServer || !unregisterServer) {
        fwprintf(stderr, L"qrcharvest: %ls is no COM server\n", path);
        return 1;
    }
    unregisterServer();
    const Snapshot before = Read();
    const HRESULT hr = registerServer();
    const Snapshot after = Read();
    unregisterServer();
    if (FAILED(hr)) {
        fwprintf(stderr, L"qrcharvest: registering %ls failed: 0x%08lx\n", path, static_cast<unsigned long>(hr));
        return 1;
    }
    wchar_t longPath[MAX_PATH];
    GetLongPathNameW(path, longPath, MAX_PATH);
    const std::wstring file = longPath, name = file.substr(file.find_last_of(L'\\') + 1);
    if (!Write(argv[2], name, Rows(before, after, file))) {
        fwprintf(stderr, L"qrcharvest: cannot write the rows\n");
        return 1;
    }
    return 0;
}
