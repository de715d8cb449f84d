// The Configure View dialog: both tabs, column moves with their selection rules, the
// rule list and its owner drawing, and what OK and Cancel hand back.
#include <gtest/gtest.h>
#include "configureview.h"
#include "support/dialog_driver.h"
#include "taskpropertydlg_fixture.h"

namespace {

using Names = std::vector<std::wstring>;

Names ListEntries(HWND view, int id) {
    Names names;
    winkit::ListBoxCtrl list(::GetDlgItem(view, id));
    for (int i = 0; i < list.Count(); ++i) names.push_back(list.String(i));
    return names;
}

int Selected(HWND view, int id) { return static_cast<int>(::SendDlgItemMessageW(view, id, LB_GETCURSEL, 0, 0)); }

// A user's click on an entry: the selection, then the list's notification.
void ChooseEntry(HWND view, int id, int index) {
    ::SendDlgItemMessageW(view, id, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(view, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(::GetDlgItem(view, id)));
}

bool Visible(HWND view, int id) { return ::IsWindowVisible(::GetDlgItem(view, id)) != FALSE; }

// Add, Add All, Remove, Remove All, Up, Down: "1" enabled, "0" not.
std::string ColumnButtons(HWND v) {
    std::string states;
    for (int id : {IDC_CV_ADD, IDC_CV_ADDALL, IDC_CV_REMOVE, IDC_CV_REMOVEALL, IDC_CV_UP, IDC_CV_DOWN})
        states += Enabled(v, id) ? '1' : '0';
    return states;
}

void SelectTab(HWND view, int tab) {
    HWND tabs = ::GetDlgItem(view, IDC_CV_TABS);
    ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    SendNotify(view, tabs, TCN_SELCHANGE);
}

void ChooseColumn(HWND view, const wchar_t* name) {
    HWND combo = ::GetDlgItem(view, IDC_CV_COLUMN);
    LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ChooseKind(HWND view, int radio) {
    for (int id = IDC_CV_BEGINSWITH; id <= IDC_CV_ISEQUAL; ++id)
        ::CheckDlgButton(view, id, id == radio ? BST_CHECKED : BST_UNCHECKED);
}

void AddRule(HWND view, const wchar_t* column, int radio, const wchar_t* value) {
    ChooseColumn(view, column);
    ChooseKind(view, radio);
    ::SetDlgItemTextW(view, IDC_CV_VALUE, value);
    Click(view, IDC_CV_RULE_ADD);
}

class ConfigureViewWindow : public testing::Test {
protected:
    DialogDriver driver;
    CConfigureView view;

    INT_PTR Run(const std::function<void(HWND)>& body) {
        WhenDialogShown(L"Configure View", [&body](HWND window) {
            body(window);
            ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
        return view.DoModal(nullptr);
    }
};

} // namespace

TEST_F(ConfigureViewWindow, OpensOnColumnVisibilityWithTheNamesSplit) {
    view.VisibleNames = {L"Task Name", L"Task Status", L"run date"};
    view.Rules = {{L"Item Name", kEndsWith, L"01"}};
    INT_PTR code = Run([](HWND v) {
        EXPECT_EQ(L"Configure View", WindowText(v));
        EXPECT_EQ((Names{L"Column Visibility", L"Filter"}), TabTitles(v, IDC_CV_TABS));
        EXPECT_EQ(0, ::SendDlgItemMessageW(v, IDC_CV_TABS, TCM_GETCURSEL, 0, 0));
        EXPECT_EQ((Names{L"Task Name", L"Task Status", L"run date"}), ListEntries(v, IDC_CV_VISIBLE));
        // The offered names not yet visible (the search ignores case), sorted; the first chosen.
        EXPECT_EQ((Names{L"Created By", L"Created Date", L"Item Name", L"Modified By", L"Modified Date", L"Run By",
                         L"Source Doc Name", L"Source Doc Type", L"Task Category", L"Task Description"}),
                  ListEntries(v, IDC_CV_AVAILABLE));
        EXPECT_EQ(0, Selected(v, IDC_CV_AVAILABLE));
        EXPECT_EQ(-1, Selected(v, IDC_CV_VISIBLE));
        EXPECT_EQ("110000", ColumnButtons(v));

        // The filter's column choice: the twelve names, sorted; the first chosen.
        winkit::ComboBoxCtrl combo(::GetDlgItem(v, IDC_CV_COLUMN));
        Names offered;
        for (int i = 0; i < combo.Count(); ++i) offered.push_back(combo.String(i));
        EXPECT_EQ((Names{L"Created By", L"Created Date", L"Item Name", L"Modified By", L"Modified Date", L"Run By",
                         L"Run Date", L"Source Doc Name", L"Source Doc Type", L"Task Category", L"Task Description",
                         L"Task Name"}),
                  offered);
        EXPECT_EQ(0, combo.Send(CB_GETCURSEL));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(v, IDC_CV_BEGINSWITH));
        EXPECT_EQ(1, ::SendDlgItemMessageW(v, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
        EXPECT_FALSE(Enabled(v, IDC_CV_RULE_DELETE));
        EXPECT_FALSE(Enabled(v, IDC_CV_RULE_UPDATE));
        EXPECT_TRUE(Enabled(v, IDC_CV_RULE_ADD));
    });
    EXPECT_EQ(IDCANCEL, code);
    // Cancel hands nothing back.
    EXPECT_EQ((Names{L"Task Name", L"Task Status", L"run date"}), view.VisibleNames);
    EXPECT_EQ(1u, view.Rules.size());
}

TEST_F(ConfigureViewWindow, TabsShowTheirOwnControls) {
    const int columnControls[] = {IDC_CV_AVAILABLE, IDC_CV_VISIBLE, IDC_CV_ADD, IDC_CV_ADDALL, IDC_CV_REMOVE,
                                  IDC_CV_REMOVEALL, IDC_CV_UP, IDC_CV_DOWN};
    const int filterControls[] = {IDC_CV_COLUMN, IDC_CV_VALUE, IDC_CV_RULES, IDC_CV_RULE_ADD, IDC_CV_RULE_DELETE,
                                  IDC_CV_RULE_UPDATE, IDC_CV_BEGINSWITH, IDC_CV_ENDSWITH, IDC_CV_CONTAINS,
                                  IDC_CV_ISEQUAL};
    Run([&](HWND v) {
        for (int pick : {-1, 1, 0}) {  // as opened, then each tab
            if (pick >= 0) SelectTab(v, pick);
            int tab = pick < 0 ? 0 : pick;
            for (int id : columnControls) EXPECT_EQ(tab == 0, Visible(v, id)) << tab << " " << id;
            for (int id : filterControls) EXPECT_EQ(tab == 1, Visible(v, id)) << tab << " " << id;
            EXPECT_TRUE(Visible(v, IDOK) && Visible(v, IDCANCEL));
        }
    });
}

TEST_F(ConfigureViewWindow, AddAndRemoveMoveNamesAndChooseTheNextEntry) {
    view.VisibleNames = {L"Task Name"};
    INT_PTR code = Run([](HWND v) {
        // Available: Created By, Created Date, Item Name, ... (11 names); take the second.
        ChooseEntry(v, IDC_CV_AVAILABLE, 1);
        Click(v, IDC_CV_ADD);
        EXPECT_EQ((Names{L"Task Name", L"Created Date"}), ListEntries(v, IDC_CV_VISIBLE));
        EXPECT_EQ(1, Selected(v, IDC_CV_AVAILABLE));  // the entry now at the same place
        EXPECT_EQ(L"Item Name", winkit::ListBoxCtrl(::GetDlgItem(v, IDC_CV_AVAILABLE)).String(1));
        // The last entry: the new last one is chosen.
        int last = static_cast<int>(::SendDlgItemMessageW(v, IDC_CV_AVAILABLE, LB_GETCOUNT, 0, 0)) - 1;
        ChooseEntry(v, IDC_CV_AVAILABLE, last);
        Click(v, IDC_CV_ADD);
        EXPECT_EQ(last - 1, Selected(v, IDC_CV_AVAILABLE));
        EXPECT_EQ((Names{L"Task Name", L"Created Date", L"Task Description"}), ListEntries(v, IDC_CV_VISIBLE));

        // Remove the middle one: it is sorted back in; the entry at the same place is chosen.
        ChooseEntry(v, IDC_CV_VISIBLE, 1);
        EXPECT_EQ("111111", ColumnButtons(v));
        Click(v, IDC_CV_REMOVE);
        EXPECT_EQ((Names{L"Task Name", L"Task Description"}), ListEntries(v, IDC_CV_VISIBLE));
        EXPECT_EQ(1, Selected(v, IDC_CV_VISIBLE));
        EXPECT_EQ(1, ::SendDlgItemMessageW(v, IDC_CV_AVAILABLE, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(L"Created Date")));
        // Removing the last visible names chooses the first available one.
        Click(v, IDC_CV_REMOVE);
        EXPECT_EQ(0, Selected(v, IDC_CV_VISIBLE));
        Click(v, IDC_CV_REMOVE);
        EXPECT_TRUE(ListEntries(v, IDC_CV_VISIBLE).empty());
        EXPECT_EQ(0, Selected(v, IDC_CV_AVAILABLE));
        EXPECT_EQ("110000", ColumnButtons(v));
        Click(v, IDC_CV_REMOVE);  // nothing chosen: nothing happens
        EXPECT_EQ(12, ::SendDlgItemMessageW(v, IDC_CV_AVAILABLE, LB_GETCOUNT, 0, 0));
        Click(v, IDC_CV_ADD);
        Click(v, IDOK);
    });
    EXPECT_EQ(IDOK, code);
    EXPECT_EQ((Names{L"Created By"}), view.VisibleNames);
}

TEST_F(ConfigureViewWindow, AddAllAppendsInReverseOfTheSortedOrder) {
    view.VisibleNames = {L"Task Name", L"Task Description", L"Task Category", L"Created Date", L"Modified Date",
                         L"Modified By", L"Run Date", L"Source Doc Name", L"Source Doc Type"};
    INT_PTR code = Run([](HWND v) {
        EXPECT_EQ((Names{L"Created By", L"Item Name", L"Run By"}), ListEntries(v, IDC_CV_AVAILABLE));
        Click(v, IDC_CV_ADDALL);
        Names visible = ListEntries(v, IDC_CV_VISIBLE);
        ASSERT_EQ(12u, visible.size());
        EXPECT_EQ((Names{L"Run By", L"Item Name", L"Created By"}), Names(visible.end() - 3, visible.end()));
        EXPECT_EQ(0, Selected(v, IDC_CV_VISIBLE));
        EXPECT_TRUE(ListEntries(v, IDC_CV_AVAILABLE).empty());
        EXPECT_EQ("001101", ColumnButtons(v));
        Click(v, IDOK);
    });
    EXPECT_EQ(IDOK, code);
    EXPECT_EQ(L"Created By", view.VisibleNames.back());
}

TEST_F(ConfigureViewWindow, RemoveAllAndUpDown) {
    view.VisibleNames = {L"Task Name", L"Run By", L"Item Name"};
    INT_PTR code = Run([](HWND v) {
        ChooseEntry(v, IDC_CV_VISIBLE, 2);
        EXPECT_EQ("111110", ColumnButtons(v));
        Click(v, IDC_CV_UP);
        EXPECT_EQ((Names{L"Task Name", L"Item Name", L"Run By"}), ListEntries(v, IDC_CV_VISIBLE));
        EXPECT_EQ(1, Selected(v, IDC_CV_VISIBLE));
        Click(v, IDC_CV_UP);
        EXPECT_EQ((Names{L"Item Name", L"Task Name", L"Run By"}), ListEntries(v, IDC_CV_VISIBLE));
        EXPECT_EQ(0, Selected(v, IDC_CV_VISIBLE));
        EXPECT_FALSE(Enabled(v, IDC_CV_UP));
        Click(v, IDC_CV_DOWN);
        EXPECT_EQ((Names{L"Task Name", L"Item Name", L"Run By"}), ListEntries(v, IDC_CV_VISIBLE));
        EXPECT_EQ(1, Selected(v, IDC_CV_VISIBLE));
        Click(v, IDOK);
    });
    EXPECT_EQ(IDOK, code);
    EXPECT_EQ((Names{L"Task Name", L"Item Name", L"Run By"}), view.VisibleNames);

    Run([](HWND v) {
        ChooseEntry(v, IDC_CV_VISIBLE, 0);
        Click(v, IDC_CV_REMOVEALL);
        EXPECT_TRUE(ListEntries(v, IDC_CV_VISIBLE).empty());
        EXPECT_EQ(12u, ListEntries(v, IDC_CV_AVAILABLE).size());
        EXPECT_EQ(0, Selected(v, IDC_CV_AVAILABLE));
        EXPECT_EQ("110000", ColumnButtons(v));
    });
}

TEST_F(ConfigureViewWindow, TaskStatusCanComeBackOnlyWithinOneRun) {
    view.VisibleNames = {L"Task Name", L"Task Status"};
    Run([](HWND v) {
        ChooseEntry(v, IDC_CV_VISIBLE, 1);
        Click(v, IDC_CV_REMOVE);
        int index = static_cast<int>(::SendDlgItemMessageW(v, IDC_CV_AVAILABLE, LB_FINDSTRINGEXACT,
                                                           static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Task Status")));
        ASSERT_NE(LB_ERR, index);
        ChooseEntry(v, IDC_CV_AVAILABLE, index);
        Click(v, IDC_CV_ADD);
        ChooseEntry(v, IDC_CV_VISIBLE, 1);
        Click(v, IDC_CV_REMOVE);
        Click(v, IDOK);
    });
    EXPECT_EQ((Names{L"Task Name"}), view.VisibleNames);
    Run([](HWND v) {
        EXPECT_EQ(LB_ERR, ::SendDlgItemMessageW(v, IDC_CV_AVAILABLE, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(L"Task Status")));
    });
}

TEST_F(ConfigureViewWindow, RuleCommands) {
    INT_PTR code = Run([](HWND v) {
        SelectTab(v, 1);
        AddRule(v, L"Task Category", IDC_CV_ISEQUAL, L"manual");
        EXPECT_EQ(0, Selected(v, IDC_CV_RULES));  // the new rule is chosen
        EXPECT_TRUE(Enabled(v, IDC_CV_RULE_DELETE));
        EXPECT_TRUE(Enabled(v, IDC_CV_RULE_UPDATE));
        AddRule(v, L"Created By", IDC_CV_CONTAINS, L"smith");
        AddRule(v, L"Item Name", IDC_CV_BEGINSWITH, L"P-");
        EXPECT_EQ(3, ::SendDlgItemMessageW(v, IDC_CV_RULES, LB_GETCOUNT, 0, 0));

        // Choosing a rule shows it in the controls.
        ChooseEntry(v, IDC_CV_RULES, 0);
        EXPECT_EQ(L"manual", WindowText(::GetDlgItem(v, IDC_CV_VALUE)));
        EXPECT_EQ(L"Task Category", WindowText(::GetDlgItem(v, IDC_CV_COLUMN)));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(v, IDC_CV_ISEQUAL));
        for (int id : {IDC_CV_BEGINSWITH, IDC_CV_ENDSWITH, IDC_CV_CONTAINS})
            EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(v, id)) << id;

        // Update overwrites the chosen rule from the controls.
        ChooseEntry(v, IDC_CV_RULES, 1);
        ChooseKind(v, IDC_CV_ENDSWITH);
        ::SetDlgItemTextW(v, IDC_CV_VALUE, L"son");
        Click(v, IDC_CV_RULE_UPDATE);
        // Delete removes the chosen one, the others keep their order; then nothing is chosen.
        AddRule(v, L"Run By", IDC_CV_CONTAINS, L"a");
        ChooseEntry(v, IDC_CV_RULES, 2);
        Click(v, IDC_CV_RULE_DELETE);
        ChooseEntry(v, IDC_CV_RULES, 2);
        Click(v, IDC_CV_RULE_DELETE);
        EXPECT_EQ(2, ::SendDlgItemMessageW(v, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
        EXPECT_FALSE(Enabled(v, IDC_CV_RULE_DELETE));
        EXPECT_FALSE(Enabled(v, IDC_CV_RULE_UPDATE));
        Click(v, IDC_CV_RULE_UPDATE);  // nothing chosen: nothing happens
        Click(v, IDC_CV_RULE_DELETE);
        EXPECT_EQ(2, ::SendDlgItemMessageW(v, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
        Click(v, IDOK);
    });
    EXPECT_EQ(IDOK, code);
    EXPECT_EQ((FilterRules{{L"Task Category", kIsEqual, L"manual"}, {L"Created By", kEndsWith, L"son"}}), view.Rules);
}

TEST_F(ConfigureViewWindow, RadiosAreReadInTheirOwnOrderAndTypedColumnsMustExist) {
    Run([](HWND v) {
        SelectTab(v, 1);
        // Two radios set at once: Begins with is tested before Is Equal, Is Equal before the others.
        ChooseColumn(v, L"Run By");
        ::CheckDlgButton(v, IDC_CV_ISEQUAL, BST_CHECKED);
        ::CheckDlgButton(v, IDC_CV_CONTAINS, BST_CHECKED);
        ::CheckDlgButton(v, IDC_CV_BEGINSWITH, BST_UNCHECKED);
        Click(v, IDC_CV_RULE_ADD);
        // A typed name is taken when it names a column, whatever its case.
        ::SetDlgItemTextW(v, IDC_CV_COLUMN, L"item name");
        Click(v, IDC_CV_RULE_ADD);
        // A typed text that names no column makes no rule.
        ::SetDlgItemTextW(v, IDC_CV_COLUMN, L"Priority");
        Click(v, IDC_CV_RULE_ADD);
        EXPECT_EQ(2, ::SendDlgItemMessageW(v, IDC_CV_RULES, LB_GETCOUNT, 0, 0));
        Click(v, IDOK);
    });
    ASSERT_EQ(2u, view.Rules.size());
    EXPECT_EQ(kIsEqual, view.Rules[0].kind);
    EXPECT_EQ(L"Run By", view.Rules[0].column);
    EXPECT_EQ(L"Item Name", view.Rules[1].column);
}

TEST(ConfigureViewRules, PiecesOfARule) {
    auto texts = [](bool followed) {
        std::wstring joined;
        for (const RuleTextPiece& piece : RuleTextPieces({L"Item Name", kEndsWith, L"01"}, followed))
            joined += L"[" + std::to_wstring(piece.colour) + L"]" + piece.text;
        return joined;
    };
    EXPECT_EQ(L"[0]Item Name[1] .Postfix.  [0]\"01\"[2] AND", texts(true));
    EXPECT_EQ(L"[0]Item Name[1] .Postfix.  [0]\"01\"", texts(false));
}

namespace {

// Draws one rule item into a bitmap as the list would ask for it and counts colours.
struct DrawnItem {
    int background = 0, keyword = 0, andWord = 0, pixels = 0;
    COLORREF corner = 0;
};

DrawnItem DrawItem(HWND view, int index, bool selected) {
    HWND rules = ::GetDlgItem(view, IDC_CV_RULES);
    HDC screen = ::GetDC(rules);
    HDC dc = ::CreateCompatibleDC(screen);
    const int width = 400, height = 20;
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(rules, WM_GETFONT, 0, 0)));
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_LISTBOX;
    draw.CtlID = IDC_CV_RULES;
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = selected ? ODS_SELECTED : 0;
    draw.hwndItem = rules;
    draw.hDC = dc;
    draw.rcItem = RECT{0, 0, width, height};
    draw.itemData = static_cast<ULONG_PTR>(::SendMessageW(rules, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    ::SendMessageW(view, WM_DRAWITEM, IDC_CV_RULES, reinterpret_cast<LPARAM>(&draw));
    DrawnItem result;
    COLORREF background = selected ? RGB(192, 192, 192) : ::GetSysColor(COLOR_WINDOW);
    result.corner = ::GetPixel(dc, width - 1, height - 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            COLORREF c = ::GetPixel(dc, x, y);
            ++result.pixels;
            result.background += c == background;
            result.keyword += c == RGB(0, 128, 0);
            result.andWord += c == RGB(0, 0, 255);
        }
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(rules, screen);
    return result;
}

} // namespace

TEST_F(ConfigureViewWindow, RulesAreDrawnInTheirColoursAndTheLastWithoutAnd) {
    view.Rules = {{L"Task Category", kIsEqual, L"manual"}, {L"Created By", kContains, L"smith"}};
    Run([](HWND v) {
        DrawnItem first = DrawItem(v, 0, false);
        EXPECT_EQ(::GetSysColor(COLOR_WINDOW), first.corner);
        EXPECT_GT(first.keyword, 0);
        EXPECT_GT(first.andWord, 0);
        EXPECT_GT(first.background, first.pixels / 2);
        DrawnItem last = DrawItem(v, 1, true);
        EXPECT_EQ(RGB(192, 192, 192), last.corner);
        EXPECT_GT(last.keyword, 0);
        EXPECT_EQ(0, last.andWord);
    });
}
