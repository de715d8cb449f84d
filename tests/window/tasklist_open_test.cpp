// Opening the To Do List: the template, the rows, pictures, tooltips, columns, and the
// settings stored on every way of closing.
#include "tasklist_window_fixture.h"

namespace {

std::wstring ToolTipText(HWND toolTip, HWND button) {
    wchar_t text[128] = {};
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = button;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text;
    ::SendMessageW(toolTip, TTM_GETTEXTW, 127, reinterpret_cast<LPARAM>(&tool));
    return text;
}

} // namespace

TEST_F(TaskListWindow, OpensWithTheTemplateAndTheRowsInCollectionOrder) {
    INT_PTR code = Open([](CTaskListDlg& dialog) {
        HWND window = dialog.hwnd();
        EXPECT_EQ(L"To Do List", WindowText(window));
        LONG style = ::GetWindowLongW(window, GWL_STYLE);
        EXPECT_TRUE(style & WS_THICKFRAME);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_EQ(WS_CAPTION, style & WS_CAPTION);
        EXPECT_TRUE(::SendMessageW(window, WM_GETICON, ICON_SMALL, 0));

        const winkit::ListView& list = dialog.List();
        LONG listStyle = ::GetWindowLongW(list, GWL_STYLE);
        EXPECT_EQ(static_cast<LONG>(LVS_REPORT), listStyle & LVS_TYPEMASK);
        EXPECT_TRUE(listStyle & LVS_SHOWSELALWAYS);
        EXPECT_FALSE(listStyle & LVS_SINGLESEL);
        EXPECT_TRUE(listStyle & WS_TABSTOP);
        DWORD extended = list.ExtendedStyle();
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
        EXPECT_TRUE(extended & LVS_EX_HEADERDRAGDROP);
        EXPECT_TRUE(extended & LVS_EX_SUBITEMIMAGES);
        EXPECT_EQ(11, ImageList_GetImageCount(list.ImageList(LVSIL_SMALL)));

        // Fourteen columns, 100 pixels, left-aligned, headed by their names.
        ColumnSet defaults = DefaultColumnSet();
        ASSERT_EQ(14, list.Header().ItemCount());
        for (int i = 0; i < 14; ++i) {
            std::wstring header;
            ASSERT_TRUE(list.ColumnText(i, header));
            EXPECT_EQ(defaults[i].name, header);
            EXPECT_EQ(100, list.ColumnWidth(i));
            winkit::LvColumn format;
            format.mask = LVCF_FMT;
            list.GetColumn(i, format);
            EXPECT_EQ(LVCFMT_LEFT, format.fmt & LVCFMT_JUSTIFYMASK);
        }

        EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6}), RowKeys(dialog));
        EXPECT_EQ(L"Create P-101", list.ItemText(0, 0));
        EXPECT_EQ(L"This task will Create P-101", list.ItemText(0, 1));
        EXPECT_EQ(L"Description of alpha", list.ItemText(2, 1));  // a manual task's own description
        EXPECT_EQ(L"2026-12-05 12:00:00", list.ItemText(0, 3));
        EXPECT_EQ(L"Open", list.ItemText(0, 12));
        EXPECT_EQ(L"Deleted", list.ItemText(5, 13));
        EXPECT_EQ(L"", list.ItemText(0, 13));
        EXPECT_EQ((std::vector<int>{0, 1, 2, 4, 3, 6}),
                  (std::vector<int>{list.ItemImage(0), list.ItemImage(1), list.ItemImage(2), list.ItemImage(3),
                                    list.ItemImage(4), list.ItemImage(5)}));
        EXPECT_EQ(0, list.SelectedCount());
        EXPECT_EQ(0, list.SelectionMark());
    });
    EXPECT_EQ(IDCANCEL, code);
}

TEST_F(TaskListWindow, ButtonsShowPicturesAndTooltips) {
    struct Expected {
        int id;
        const wchar_t* caption;
        const wchar_t* toolTip;
    } buttons[] = {
        {256, L"Manual Task", L"New Manual Task"}, {257, L"Properties", L"Properties"},
        {252, L"REFRESH", L"Refresh"},             {260, L"Report", L"Report"},
        {253, L"Action", L"Run Task"},             {254, L"Defer", L"Defer Task"},
        {255, L"Delete", L"Delete Task"},          {259, L"DeleteFromServer", L"Permanently Delete Task"},
    };
    Open([&](CTaskListDlg& dialog) {
        for (const Expected& b : buttons) {
            SCOPED_TRACE(b.id);
            HWND button = dialog.Item(b.id);
            ASSERT_TRUE(button);
            EXPECT_EQ(b.caption, WindowText(button));
            LONG style = ::GetWindowLongW(button, GWL_STYLE);
            EXPECT_TRUE(style & BS_BITMAP);
            EXPECT_TRUE(style & WS_TABSTOP);
            HBITMAP shown = winkit::ButtonCtrl(button).Bitmap();
            EXPECT_TRUE(shown);
            EXPECT_TRUE(shown == dialog.ButtonPicture(b.id, false) || shown == dialog.ButtonPicture(b.id, true));
            BITMAP info = {};
            ASSERT_TRUE(::GetObjectW(dialog.ButtonPicture(b.id, false), sizeof info, &info));
            EXPECT_EQ(15, info.bmWidth);
            EXPECT_EQ(15, info.bmHeight);

            const winkit::CToolTipButton* tip = dialog.Button(b.id);
            ASSERT_TRUE(tip && tip->ToolTip());
            EXPECT_EQ(1, ::SendMessageW(tip->ToolTip(), TTM_GETTOOLCOUNT, 0, 0));
            EXPECT_EQ(b.toolTip, ToolTipText(tip->ToolTip(), button));
        }
        // Only Properties, Delete and Permanently delete have a second, disabled picture.
        for (int id : {256, 252, 260, 253, 254}) EXPECT_FALSE(dialog.ButtonPicture(id, true)) << id;
        for (int id : {257, 255, 259}) {
            EXPECT_TRUE(dialog.ButtonPicture(id, true)) << id;
            EXPECT_NE(dialog.ButtonPicture(id, false), dialog.ButtonPicture(id, true)) << id;
        }
    });
}

namespace {

// The mouse messages relayed to a tooltip, seen as they are sent to it.
struct RelaySpy {
    static inline HWND toolTip = nullptr;
    static inline std::vector<UINT> relayed;
    static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
        auto* m = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (code == HC_ACTION && m->hwnd == toolTip && m->message == TTM_RELAYEVENT)
            relayed.push_back(reinterpret_cast<const MSG*>(m->lParam)->message);
        return ::CallNextHookEx(nullptr, code, wparam, lparam);
    }
};

} // namespace

TEST_F(TaskListWindow, TheTooltipSeesTheMouseMessagesOfItsButton) {
    Open([&](CTaskListDlg& dialog) {
        HWND button = dialog.Item(IDC_TASKLIST_REFRESH);
        RelaySpy::toolTip = dialog.Button(IDC_TASKLIST_REFRESH)->ToolTip();
        RelaySpy::relayed.clear();
        HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &RelaySpy::Hook, nullptr, ::GetCurrentThreadId());
        for (UINT message : std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, 0x20E, WM_KEYDOWN, 0x20F})
            ::SendMessageW(button, message, 0, MAKELPARAM(3, 3));
        ::ReleaseCapture();
        ::UnhookWindowsHookEx(hook);
        EXPECT_EQ((std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, 0x20E}),
                  RelaySpy::relayed);
    });
}
