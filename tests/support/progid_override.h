#pragma once
// Points a ProgID under HKEY_CLASSES_ROOT at another class, or removes it, for the life
// of the object; what was registered before is copied aside and put back afterwards.
// (Wine reads ProgIDs from the machine's classes only, not from HKCU\Software\Classes.)
#include <windows.h>
#include <string>

class ProgIdOverride {
public:
    explicit ProgIdOverride(std::wstring progId);
    ~ProgIdOverride();
    ProgIdOverride(const ProgIdOverride&) = delete;
    ProgIdOverride& operator=(const ProgIdOverride&) = delete;

    void PointTo(const CLSID& clsid);
    void Remove();

private:
    std::wstring progId_;
    std::wstring savedKey_;
    bool saved_ = false;
};
