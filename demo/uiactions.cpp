#include "uiactions.h"

#include <commctrl.h>

namespace demo {
namespace {

struct Search {
    std::wstring caption;
    bool prefix;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t cls[16] = {}, text[256] = {};
    GetClassNameW(window, cls, 16);
    GetWindowTextW(window, text, 256);
    std::wstring caption = text;
    bool matches = search->prefix ? caption.compare(0, search->caption.size(), search->caption) == 0
                                  : caption == search->caption;
    if (wcscmp(cls, L"#32770") == 0 && IsWindowVisible(window) && matches) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindDialog(const std::wstring& caption) {
    Search search{caption, false};
    EnumThreadWindows(GetCurrentThreadId(), &MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialogStartingWith(const std::wstring& prefix) {
    Search search{prefix, true};
    EnumThreadWindows(GetCurrentThreadId(), &MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindPageWith(HWND dialog, int controlId) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, controlId)) return child;
    return nullptr;
}

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int RowWithText(HWND list, int column, const std::wstring& text) {
    for (int row = 0, n = RowCount(list); row < n; ++row)
        if (CellText(list, row, column) == text) return row;
    return -1;
}

std::wstring CellText(HWND list, int row, int column) {
    wchar_t text[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

int RowImage(HWND list, int row) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void SelectOnly(HWND list, int row) {
    LVITEMW clear = {};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void ClickHeader(HWND list, int column) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    NMHEADERW click = {};
    click.hdr.hwndFrom = header;
    click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
    click.hdr.code = HDN_ITEMCLICKW;
    click.iItem = column;
    SendMessageW(list, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

void ClickRow(HWND list, UINT code, int row, int x) {
    RECT r = {LVIR_BOUNDS};
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = list;
    note.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    note.hdr.code = code;
    note.iItem = row;
    note.ptAction = POINT{r.left + x, (r.top + r.bottom) / 2};
    SendMessageW(GetParent(list), WM_NOTIFY, note.hdr.idFrom, reinterpret_cast<LPARAM>(&note));
}

void PickTab(HWND dialog, int tabControlId, int index) {
    HWND tabs = GetDlgItem(dialog, tabControlId);
    NMHDR header = {tabs, static_cast<UINT_PTR>(tabControlId), static_cast<UINT>(TCN_SELCHANGING)};
    SendMessageW(dialog, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    header.code = static_cast<UINT>(TCN_SELCHANGE);
    SendMessageW(dialog, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void PostCommand(HWND dialog, int id) { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

} // namespace demo
