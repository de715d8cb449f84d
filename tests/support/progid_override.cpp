#include "support/progid_override.h"

#include "winkit/com_module.h"
#include "winkit/unique_handle.h"

ProgIdOverride::ProgIdOverride(std::wstring progId)
    : progId_(std::move(progId)), savedKey_(L"Software\\QRCTests\\SavedProgIds\\" + progId_) {
    winkit::UniqueHKey existing;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, progId_.c_str(), 0, KEY_READ, existing.put()) != ERROR_SUCCESS) return;
    RegDeleteTreeW(HKEY_CURRENT_USER, savedKey_.c_str());
    winkit::UniqueHKey saved;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, savedKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, saved.put(), nullptr) ==
        ERROR_SUCCESS)
        saved_ = RegCopyTreeW(existing.get(), nullptr, saved.get()) == ERROR_SUCCESS;
}

ProgIdOverride::~ProgIdOverride() {
    Remove();
    if (!saved_) return;
    winkit::UniqueHKey saved, restored;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, savedKey_.c_str(), 0, KEY_READ, saved.put()) == ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CLASSES_ROOT, progId_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, restored.put(), nullptr) ==
            ERROR_SUCCESS)
        RegCopyTreeW(saved.get(), nullptr, restored.get());
    saved.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, savedKey_.c_str());
    // The folders above go too once nothing else is kept there (a key with subkeys stays).
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QRCTests\\SavedProgIds");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\QRCTests");
}

void ProgIdOverride::PointTo(const CLSID& clsid) {
    Remove();
    std::wstring text = winkit::GuidToString(clsid);
    result_ = RegSetKeyValueW(HKEY_CLASSES_ROOT, (progId_ + L"\\CLSID").c_str(), nullptr, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ProgIdOverride::Remove() { RegDeleteTreeW(HKEY_CLASSES_ROOT, progId_.c_str()); }
