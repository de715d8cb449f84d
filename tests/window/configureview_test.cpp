// The Configure View dialog.
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

// A rule from the controls: the column as chosen, the kind's radio, the value.
void AddRule(HWND view, const wchar_t* column, int radio, const wchar_t* value) {
    HWND combo = ::GetDlgItem(view, IDC_CV_COLUMN);
    LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(column));
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::CheckRadioButton(view, IDC_CV_BEGINSWITH, IDC_CV_ISEQUAL, radio);
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

// Each move: the list an entry is chosen in (0: none) and where, the button; then the
// visible names, the entries chosen in both lists and the buttons' states.
TEST_F(ConfigureViewWindow, ColumnMovesKeepTheOrderAndChooseTheNextEntry) {
    const struct {
        int list, index, button;  // button 0: only the choice
        Names visible;
        int available, chosen;
        const char* buttons;
        int offered;  // entries in the available list
    } moves[] = {
        // Available: Created By, Created Date, Item Name, ... (11 names); the entry now at
        // the same place is chosen, at the end the new last one.
        {IDC_CV_AVAILABLE, 1, IDC_CV_ADD, {L"Task Name", L"Created Date"}, 1, -1, "110000", 10},
        {IDC_CV_AVAILABLE, 9, IDC_CV_ADD, {L"Task Name", L"Created Date", L"Task Description"}, 8, -1, "110000", 9},
        {IDC_CV_VISIBLE, 1, 0, {L"Task Name", L"Created Date", L"Task Description"}, 8, 1, "111111", 9},
        // Removed names are sorted back in; the chosen available entry moves with them.
        {IDC_CV_VISIBLE, 1, IDC_CV_REMOVE, {L"Task Name", L"Task Description"}, 9, 1, "111110", 10},
        {IDC_CV_VISIBLE, 1, IDC_CV_UP, {L"Task Description", L"Task Name"}, 9, 0, "111101", 10},
        {IDC_CV_VISIBLE, 0, IDC_CV_DOWN, {L"Task Name", L"Task Description"}, 9, 1, "111110", 10},
        {0, 0, IDC_CV_UP, {L"Task Description", L"Task Name"}, 9, 0, "111101", 10},
        {0, 0, IDC_CV_REMOVE, {L"Task Name"}, 9, 0, "111100", 11},
        {0, 0, IDC_CV_REMOVE, {}, 0, -1, "110000", 12},  // the last visible name: the first available chosen
        {0, 0, IDC_CV_REMOVE, {}, 0, -1, "110000", 12},  // nothing chosen: nothing happens
        // Add All appends in reverse of the sorted order.
        {0, 0, IDC_CV_ADDALL, {L"Task Name", L"Task Description", L"Task Category", L"Source Doc Type",
                               L"Source Doc Name", L"Run Date", L"Run By", L"Modified Date", L"Modified By",
                               L"Item Name", L"Created Date", L"Created By"}, -1, 0, "001101", 0},
        {IDC_CV_VISIBLE, 0, IDC_CV_REMOVEALL, {}, 0, -1, "110000", 12},
        {IDC_CV_AVAILABLE, 0, IDC_CV_ADD, {L"Created By"}, 0, -1, "110000", 11},
    };
    view.VisibleNames = {L"Task Name"};
    const std::initializer_list<int> columnButtons = {IDC_CV_ADD,       IDC_CV_ADDALL, IDC_CV_REMOVE,
                                                      IDC_CV_REMOVEALL, IDC_CV_UP,     IDC_CV_DOWN};
    INT_PTR code = Run([&](HWND v) {
        EXPECT_EQ(L"Column Visibility|Filter", TabTitles(v, IDC_CV_TABS));
        for (const auto& move : moves) {
            if (move.list) ChooseEntry(v, move.list, move.index);
            if (move.button) Click(v, move.button);
            EXPECT_EQ(move.visible, ListEntries(v, IDC_CV_VISIBLE)) << move.button << " " << move.index;
            EXPECT_EQ(move.available, Selected(v, IDC_CV_AVAILABLE)) << move.button << " " << move.index;
            EXPECT_EQ(move.chosen, Selected(v, IDC_CV_VISIBLE)) << move.button << " " << move.index;
            EXPECT_EQ(move.buttons, EnabledStates(v, columnButtons)) << move.button << " " << move.index;
            EXPECT_EQ(move.offered, ::SendDlgItemMessageW(v, IDC_CV_AVAILABLE, LB_GETCOUNT, 0, 0)) << move.button;
        }
        Click(v, IDOK);
    });
    EXPECT_EQ(IDOK, code);
    EXPECT_EQ((Names{L"Created By"}), view.VisibleNames);
}

TEST_F(ConfigureViewWindow, RuleCommands) {
    INT_PTR code = Run([](HWND v) {
        AddRule(v, L"Task Category", IDC_CV_ISEQUAL, L"manual");
        EXPECT_EQ(0, Selected(v, IDC_CV_RULES));  // the new rule is chosen
        EXPECT_TRUE(Enabled(v, IDC_CV_RULE_DELETE) && Enabled(v, IDC_CV_RULE_UPDATE));
        AddRule(v, L"Created By", IDC_CV_CONTAINS, L"smith");
        AddRule(v, L"Item Name", IDC_CV_BEGINSWITH, L"P-");

        // Choosing a rule shows it in the controls.
        ChooseEntry(v, IDC_CV_RULES, 0);
        EXPECT_EQ(L"manual", WindowText(::GetDlgItem(v, IDC_CV_VALUE)));
        EXPECT_EQ(L"Task Category", WindowText(::GetDlgItem(v, IDC_CV_COLUMN)));
        EXPECT_TRUE(::IsDlgButtonChecked(v, IDC_CV_ISEQUAL));

        // Update overwrites the chosen rule from the controls.
        ChooseEntry(v, IDC_CV_RULES, 1);
        ::CheckRadioButton(v, IDC_CV_BEGINSWITH, IDC_CV_ISEQUAL, IDC_CV_ENDSWITH);
        ::SetDlgItemTextW(v, IDC_CV_VALUE, L"son");
        Click(v, IDC_CV_RULE_UPDATE);
        // Delete removes the chosen one, the others keep their order; then nothing is chosen.
        AddRule(v, L"Run By", IDC_CV_CONTAINS, L"a");
        ChooseEntry(v, IDC_CV_RULES, 2);
        Click(v, IDC_CV_RULE_DELETE);
        ChooseEntry(v, IDC_CV_RULES, 2);
        Click(v, IDC_CV_RULE_DELETE);
        EXPECT_FALSE(Enabled(v, IDC_CV_RULE_DELETE) || Enabled(v, IDC_CV_RULE_UPDATE));
        Click(v, IDC_CV_RULE_UPDATE);  // nothing chosen: nothing happens
        Click(v, IDC_CV_RULE_DELETE);

        AddRule(v, L"Run By", IDC_CV_ISEQUAL, L"x");
        // A typed name is taken when it names a column, whatever its case; a text that
        // names no column makes no rule.
        ::SetDlgItemTextW(v, IDC_CV_COLUMN, L"item name");
        Click(v, IDC_CV_RULE_ADD);
        ::SetDlgItemTextW(v, IDC_CV_COLUMN, L"Priority");
        Click(v, IDC_CV_RULE_ADD);
        Click(v, IDOK);
    });
    EXPECT_EQ(IDOK, code);
    EXPECT_EQ((FilterRules{{L"Task Category", kIsEqual, L"manual"},
                           {L"Created By", kEndsWith, L"son"},
                           {L"Run By", kIsEqual, L"x"},
                           {L"Item Name", kIsEqual, L"x"}}),
              view.Rules);
}

// A rule's text in its pieces and their colours (0 the text's, 1 the keyword's, 2 the AND's);
// the last rule has no AND.
TEST(RuleTextPiecesTest, KeywordInItsColourAndAndOnlyBetweenRules) {
    auto pieces = [](bool followed) {
        std::wstring joined;
        for (const RuleTextPiece& piece : RuleTextPieces({L"Item Name", kEndsWith, L"01"}, followed))
            joined += L"[" + std::to_wstring(piece.colour) + L"]" + piece.text;
        return joined;
    };
    EXPECT_EQ(L"[0]Item Name[1] .Postfix.  [0]\"01\"[2] AND", pieces(true));
    EXPECT_EQ(L"[0]Item Name[1] .Postfix.  [0]\"01\"", pieces(false));
}
