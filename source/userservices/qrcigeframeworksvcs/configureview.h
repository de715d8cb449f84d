#pragma once
// The "Configure View" dialog: which columns the task list shows and in which order
// (Column Visibility tab), and the filter rules (Filter tab).
//
// The caller fills VisibleNames and Rules, runs the dialog, and after IDOK reads them
// back: the Visible Columns list in its order and the rule list in its order.
#include <array>
#include <string>
#include <vector>
#include "res/configureviewres.h"
#include "filterrules.h"
#include "winkit/combo_box.h"
#include "winkit/dialog_impl.h"
#include "winkit/list_box.h"
#include "winkit/tab_control.h"
#include "winkit/tab_pane_brush.h"
#include "winkit/unique_handle.h"

// One piece of a rule as the rule list draws it, left to right.
struct RuleTextPiece {
    enum Colour { Text, Keyword, And };
    std::wstring text;
    Colour colour;
};

// Column name, keyword, the double-quoted value and, when another rule follows, " AND".
std::vector<RuleTextPiece> RuleTextPieces(const FilterRule& rule, bool followed);

inline constexpr COLORREF kRuleSelectedBackground = RGB(192, 192, 192);
inline constexpr COLORREF kRuleKeywordColour = RGB(0, 128, 0);
inline constexpr COLORREF kRuleAndColour = RGB(0, 0, 255);

class CConfigureView : public winkit::DialogImpl<CConfigureView> {
public:
    enum { IDD = IDD_CONFIGUREVIEW };
    enum Tab { kColumnVisibilityTab = 0, kFilterTab = 1 };

    std::vector<std::wstring> VisibleNames;
    FilterRules Rules;

    BEGIN_MSG_MAP(CConfigureView)
        MSG_WM_INITDIALOG(OnInitDialog)
        COMMAND_ID_HANDLER_EX(IDOK, OnOk)
        COMMAND_ID_HANDLER_EX(IDCANCEL, OnCancel)
        NOTIFY_HANDLER_EX(IDC_CV_TABS, TCN_SELCHANGE, OnTabChanged)
        COMMAND_HANDLER_EX(IDC_CV_ADD, BN_CLICKED, OnAdd)
        COMMAND_HANDLER_EX(IDC_CV_ADDALL, BN_CLICKED, OnAddAll)
        COMMAND_HANDLER_EX(IDC_CV_REMOVE, BN_CLICKED, OnRemove)
        COMMAND_HANDLER_EX(IDC_CV_REMOVEALL, BN_CLICKED, OnRemoveAll)
        COMMAND_HANDLER_EX(IDC_CV_UP, BN_CLICKED, OnUp)
        COMMAND_HANDLER_EX(IDC_CV_DOWN, BN_CLICKED, OnDown)
        COMMAND_HANDLER_EX(IDC_CV_RULE_ADD, BN_CLICKED, OnRuleAdd)
        COMMAND_HANDLER_EX(IDC_CV_RULE_DELETE, BN_CLICKED, OnRuleDelete)
        COMMAND_HANDLER_EX(IDC_CV_RULE_UPDATE, BN_CLICKED, OnRuleUpdate)
        COMMAND_HANDLER_EX(IDC_CV_RULES, LBN_SELCHANGE, OnRuleSelected)
        if (uMsg == WM_COMMAND && (LOWORD(wParam) == IDC_CV_AVAILABLE || LOWORD(wParam) == IDC_CV_VISIBLE) &&
            (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_SETFOCUS || HIWORD(wParam) == LBN_KILLFOCUS)) {
            UpdateColumnButtons();
            return true;
        }
        MSG_WM_DRAWITEM(OnDrawItem)
        MSG_WM_DELETEITEM(OnDeleteItem)
        MSG_WM_DESTROY(OnDestroy)
        MESSAGE_HANDLER_EX(WM_CTLCOLORSTATIC, OnControlColour)
        if (uMsg == WM_THEMECHANGED || uMsg == WM_SYSCOLORCHANGE) paneBrush_.Reset();
    END_MSG_MAP()

private:
    // The controls each tab shows.
    static const std::array<int, 10> kColumnVisibilityControls;
    static const std::array<int, 11> kFilterControls;

    BOOL OnInitDialog(HWND focus, LPARAM initParam);
    void OnOk(UINT, int, HWND);
    void OnCancel(UINT, int, HWND);
    LRESULT OnTabChanged(NMHDR*);
    void OnAdd(UINT, int, HWND);
    void OnAddAll(UINT, int, HWND);
    void OnRemove(UINT, int, HWND);
    void OnRemoveAll(UINT, int, HWND);
    void MoveChosen(winkit::ListBoxCtrl& from, winkit::ListBoxCtrl& to);
    void MoveAll(winkit::ListBoxCtrl& from, winkit::ListBoxCtrl& to);
    void OnUp(UINT, int, HWND);
    void OnDown(UINT, int, HWND);
    void OnRuleAdd(UINT, int, HWND);
    void OnRuleDelete(UINT, int, HWND);
    void OnRuleUpdate(UINT, int, HWND);
    void OnRuleSelected(UINT, int, HWND);
    void OnDrawItem(int id, DRAWITEMSTRUCT* draw);
    void OnDeleteItem(int id, DELETEITEMSTRUCT* item);
    void OnDestroy();
    LRESULT OnControlColour(UINT message, WPARAM wparam, LPARAM lparam);

    void SetUpIcons();
    void ShowTab(int tab);
    void UpdateColumnButtons();
    void UpdateRuleButtons();
    // Disabling the control that has the focus first moves the focus on.
    void EnableControl(int id, bool enable);
    void MoveSwap(int from, int to);
    bool RuleFromControls(FilterRule& rule) const;
    void ShowRule(const FilterRule& rule);
    int AddRuleItem(const FilterRule& rule);
    FilterRule* RuleItem(int index) const;
    void DrawRule(const DRAWITEMSTRUCT& draw) const;

    winkit::TabCtrl tabs_;
    winkit::ListBoxCtrl available_;
    winkit::ListBoxCtrl visible_;
    winkit::ComboBoxCtrl column_;
    winkit::ListBoxCtrl rules_;
    std::array<winkit::UniqueHIcon, 6> icons_;
    winkit::TabPaneBrush paneBrush_;
};
