#pragma once
// Move-only holders for plain Windows handles, each freed by its own function.
#include <windows.h>
#include <commctrl.h>
#include <utility>

namespace winkit {

template <class Handle, class Closer>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle h) noexcept : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(std::exchange(other.h_, Handle{})) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.h_, Handle{}));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != Handle{}; }
    void reset(Handle h = Handle{}) noexcept {
        Handle old = std::exchange(h_, h);
        if (old != Handle{}) Closer{}(old);
    }
    [[nodiscard]] Handle release() noexcept { return std::exchange(h_, Handle{}); }
    Handle* put() noexcept { reset(); return &h_; }

private:
    Handle h_{};
};

struct GdiObjectCloser { void operator()(HGDIOBJ h) const noexcept { DeleteObject(h); } };
struct IconCloser { void operator()(HICON h) const noexcept { DestroyIcon(h); } };
struct MenuCloser { void operator()(HMENU h) const noexcept { DestroyMenu(h); } };
struct ImageListCloser { void operator()(HIMAGELIST h) const noexcept { ImageList_Destroy(h); } };
struct RegKeyCloser { void operator()(HKEY h) const noexcept { RegCloseKey(h); } };
struct KernelHandleCloser { void operator()(HANDLE h) const noexcept { CloseHandle(h); } };
struct WindowCloser { void operator()(HWND h) const noexcept { DestroyWindow(h); } };

using UniqueHBitmap = UniqueHandle<HBITMAP, GdiObjectCloser>;
using UniqueHPen = UniqueHandle<HPEN, GdiObjectCloser>;
using UniqueHBrush = UniqueHandle<HBRUSH, GdiObjectCloser>;
using UniqueHIcon = UniqueHandle<HICON, IconCloser>;
using UniqueHMenu = UniqueHandle<HMENU, MenuCloser>;
using UniqueHImageList = UniqueHandle<HIMAGELIST, ImageListCloser>;
using UniqueHKey = UniqueHandle<HKEY, RegKeyCloser>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using UniqueHWnd = UniqueHandle<HWND, WindowCloser>;

// Selects a GDI object into a device context for the holder's life.
class SelectObjectGuard {
public:
    SelectObjectGuard(HDC dc, HGDIOBJ obj) noexcept : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectObjectGuard() { if (old_) SelectObject(dc_, old_); }
    SelectObjectGuard(const SelectObjectGuard&) = delete;
    SelectObjectGuard& operator=(const SelectObjectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace winkit
