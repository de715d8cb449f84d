#pragma once
// Points a ProgID under HKEY_CLASSES_ROOT at another class, or removes it, for the life
// of the object; what was registered before is copied aside and put back afterwards.
// (Wine reads ProgIDs from the machine's classes only, not from HKCU\Software\Classes.)
#include <windows.h>
#include <string>

class ProgIdOverride {
public:
    explicit ProgIdOverride(std::wstring progId);
    ProgIdOverride(std::wstring progId, const CLSID& clsid) : ProgIdOverride(std::move(progId)) { PointTo(clsid); }
    ~ProgIdOverride();
    ProgIdOverride(const ProgIdOverride&) = delete;
    ProgIdOverride& operator=(const ProgIdOverride&) = delete;

    void PointTo(const CLSID& clsid);
    void Remove();
    // Of the last PointTo.
    LONG result() const { return result_; }

private:
    std::wstring progId_;
    std::wstring savedKey_;
    bool saved_ = false;
    LONG result_ = ERROR_SUCCESS;
};
