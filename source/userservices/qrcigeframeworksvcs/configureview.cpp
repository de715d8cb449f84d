#include "configureview.h"

#include <memory>
#include "tasklistcolumns.h"
#include "winkit/button.h"

const std::array<int, 10> CConfigureView::kColumnVisibilityControls = {
    IDC_CV_COLUMNS_LABEL, IDC_CV_VISIBLE_LABEL, IDC_CV_AVAILABLE, IDC_CV_VISIBLE, IDC_CV_ADD,
    IDC_CV_ADDALL, IDC_CV_REMOVE, IDC_CV_REMOVEALL, IDC_CV_UP, IDC_CV_DOWN,
};

const std::array<int, 11> CConfigureView::kFilterControls = {
    IDC_CV_COLUMN_LABEL, IDC_CV_COLUMN, IDC_CV_BEGINSWITH, IDC_CV_ENDSWITH, IDC_CV_CONTAINS, IDC_CV_ISEQUAL,
    IDC_CV_VALUE, IDC_CV_RULE_ADD, IDC_CV_RULE_DELETE, IDC_CV_RULE_UPDATE, IDC_CV_RULES,
};

namespace {

struct IconButton {
    int button;
    int icon;
};

// In the order the icons are set.
const IconButton kIconButtons[6] = {
    {IDC_CV_ADD, IDI_CV_ADD},       {IDC_CV_ADDALL, IDI_CV_ADDALL}, {IDC_CV_REMOVE, IDI_CV_REMOVE},
    {IDC_CV_REMOVEALL, IDI_CV_REMOVEALL}, {IDC_CV_UP, IDI_CV_UP},   {IDC_CV_DOWN, IDI_CV_DOWN},
};

struct KindRadio {
    int button;
    int kind;
};

// The order in which the radio buttons are tested.
const KindRadio kKindRadios[4] = {
    {IDC_CV_BEGINSWITH, kBeginsWith}, {IDC_CV_ISEQUAL, kIsEqual},
    {IDC_CV_ENDSWITH, kEndsWith},     {IDC_CV_CONTAINS, kContains},
};

} // namespace

std::vector<RuleTextPiece> RuleTextPieces(const FilterRule& rule, bool followed) {
    std::vector<RuleTextPiece> pieces = {
        {rule.column, RuleTextPiece::Text},
        {FilterKeyword(rule.kind), RuleTextPiece::Keyword},
        {L"\"" + rule.value + L"\"", RuleTextPiece::Text},
    };
    if (followed) pieces.push_back({L" AND", RuleTextPiece::And});
    return pieces;
}

BOOL CConfigureView::OnInitDialog(HWND, LPARAM) {
    tabs_.Attach(Item(IDC_CV_TABS));
    available_.Attach(Item(IDC_CV_AVAILABLE));
    visible_.Attach(Item(IDC_CV_VISIBLE));
    column_.Attach(Item(IDC_CV_COLUMN));
    rules_.Attach(Item(IDC_CV_RULES));
    SetUpIcons();

    tabs_.InsertItem(kColumnVisibilityTab, L"Column Visibility");
    tabs_.InsertItem(kFilterTab, L"Filter");
    ShowTab(kColumnVisibilityTab);

    for (const std::wstring& name : VisibleNames) visible_.AddString(name.c_str());
    for (const wchar_t* name : OfferedColumnNames())
        if (visible_.FindStringExact(name) == LB_ERR) available_.AddString(name);
    available_.SetCurSel(0);
    UpdateColumnButtons();

    for (const wchar_t* name : OfferedColumnNames()) column_.AddString(name);
    column_.SetCurSel(0);
    winkit::ButtonCtrl(Item(IDC_CV_BEGINSWITH)).SetCheck(BST_CHECKED);

    for (const FilterRule& rule : Rules) AddRuleItem(rule);
    UpdateRuleButtons();
    return TRUE;
}

void CConfigureView::SetUpIcons() {
    for (size_t i = 0; i < icons_.size(); ++i) {
        icons_[i].reset(static_cast<HICON>(::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(kIconButtons[i].icon),
                                                        IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
        winkit::ButtonCtrl(Item(kIconButtons[i].button)).SetIcon(icons_[i].get());
    }
}

void CConfigureView::OnDestroy() {
    // The buttons let go of the icons before they are destroyed.
    for (const IconButton& b : kIconButtons) winkit::ButtonCtrl(Item(b.button)).SetIcon(nullptr);
    for (winkit::UniqueHIcon& icon : icons_) icon.reset();
}

void CConfigureView::OnOk(UINT, int, HWND) {
    std::vector<std::wstring> names;
    for (int i = 0, n = visible_.Count(); i < n; ++i) names.push_back(visible_.String(i));
    FilterRules rules;
    for (int i = 0, n = rules_.Count(); i < n; ++i)
        if (const FilterRule* rule = RuleItem(i)) rules.push_back(*rule);
    VisibleNames = std::move(names);
    Rules = std::move(rules);
    EndDialog(IDOK);
}

void CConfigureView::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }

// Tabs.
// The labels and radio buttons stand on the tab's pane: they take its background. Other
// controls keep the dialog's default (a result of 0).
LRESULT CConfigureView::OnControlColour(UINT, WPARAM wparam, LPARAM lparam) {
    HWND control = reinterpret_cast<HWND>(lparam);
    switch (::GetDlgCtrlID(control)) {
    case IDC_CV_COLUMNS_LABEL:
    case IDC_CV_VISIBLE_LABEL:
    case IDC_CV_COLUMN_LABEL:
    case IDC_CV_BEGINSWITH:
    case IDC_CV_ENDSWITH:
    case IDC_CV_CONTAINS:
    case IDC_CV_ISEQUAL:
        return reinterpret_cast<LRESULT>(paneBrush_.ForControl(tabs_, control, reinterpret_cast<HDC>(wparam)));
    default:
        return 0;
    }
}

LRESULT CConfigureView::OnTabChanged(NMHDR*) {
    ShowTab(tabs_.CurSel());
    return 0;
}

void CConfigureView::ShowTab(int tab) {
    for (int id : kColumnVisibilityControls) winkit::Window(Item(id)).Show(tab == kColumnVisibilityTab ? SW_SHOW : SW_HIDE);
    for (int id : kFilterControls) winkit::Window(Item(id)).Show(tab == kFilterTab ? SW_SHOW : SW_HIDE);
}

// Column moves.
void CConfigureView::UpdateColumnButtons() {
    int chosen = visible_.CurSel();
    bool availableChosen = available_.CurSel() != LB_ERR;
    EnableControl(IDC_CV_ADD, availableChosen);
    EnableControl(IDC_CV_ADDALL, availableChosen);
    EnableControl(IDC_CV_REMOVE, chosen != LB_ERR);
    EnableControl(IDC_CV_REMOVEALL, chosen != LB_ERR);
    EnableControl(IDC_CV_UP, chosen != LB_ERR && chosen > 0);
    EnableControl(IDC_CV_DOWN, chosen != LB_ERR && chosen < visible_.Count() - 1);
}

void CConfigureView::EnableControl(int id, bool enable) {
    winkit::Window control(Item(id));
    if (!enable && ::GetFocus() == control.hwnd()) Send(WM_NEXTDLGCTL, 0, FALSE);
    control.Enable(enable);
}

// Moves the chosen name from one list to the end of the other; the chosen place stays on
// the next name of its list, or goes to the other list's first name when the list is empty.
void CConfigureView::MoveChosen(winkit::ListBoxCtrl& from, winkit::ListBoxCtrl& to) {
    int chosen = from.CurSel();
    if (chosen == LB_ERR) return;
    std::wstring name = from.String(chosen);
    from.DeleteString(chosen);
    to.AddString(name.c_str());
    int left = from.Count();
    if (left > 0)
        from.SetCurSel(chosen < left ? chosen : left - 1);
    else
        to.SetCurSel(0);
    UpdateColumnButtons();
}

// Moves every name, last first, when one is chosen.
void CConfigureView::MoveAll(winkit::ListBoxCtrl& from, winkit::ListBoxCtrl& to) {
    if (from.CurSel() == LB_ERR) return;
    for (int i = from.Count() - 1; i >= 0; --i) {
        std::wstring name = from.String(i);
        from.DeleteString(i);
        to.AddString(name.c_str());
    }
    to.SetCurSel(0);
    UpdateColumnButtons();
}

void CConfigureView::OnAdd(UINT, int, HWND) { MoveChosen(available_, visible_); }
void CConfigureView::OnAddAll(UINT, int, HWND) { MoveAll(available_, visible_); }
void CConfigureView::OnRemove(UINT, int, HWND) { MoveChosen(visible_, available_); }
void CConfigureView::OnRemoveAll(UINT, int, HWND) { MoveAll(visible_, available_); }

void CConfigureView::MoveSwap(int from, int to) {
    std::wstring name = visible_.String(from);
    visible_.DeleteString(from);
    visible_.InsertString(to, name.c_str());
    visible_.SetCurSel(to);
    UpdateColumnButtons();
}

void CConfigureView::OnUp(UINT, int, HWND) {
    int chosen = visible_.CurSel();
    if (chosen != LB_ERR && chosen > 0) MoveSwap(chosen, chosen - 1);
}

void CConfigureView::OnDown(UINT, int, HWND) {
    int chosen = visible_.CurSel();
    if (chosen != LB_ERR && chosen < visible_.Count() - 1) MoveSwap(chosen, chosen + 1);
}

// Rules.
void CConfigureView::UpdateRuleButtons() {
    bool chosen = rules_.CurSel() != LB_ERR;
    EnableControl(IDC_CV_RULE_DELETE, chosen);
    EnableControl(IDC_CV_RULE_UPDATE, chosen);
}

// The column is the combo box's entry that its text names (ignoring case): a text
// typed that names no column makes no rule.
bool CConfigureView::RuleFromControls(FilterRule& rule) const {
    int entry = column_.FindStringExact(column_.Text().c_str());
    if (entry == CB_ERR) return false;
    rule.column = column_.String(entry);
    rule.value = winkit::Window(Item(IDC_CV_VALUE)).Text();
    rule.kind = kBeginsWith;
    for (const KindRadio& radio : kKindRadios) {
        if (winkit::ButtonCtrl(Item(radio.button)).IsChecked()) {
            rule.kind = radio.kind;
            break;
        }
    }
    return true;
}

void CConfigureView::ShowRule(const FilterRule& rule) {
    winkit::Window(Item(IDC_CV_VALUE)).SetText(rule.value);
    for (const KindRadio& radio : kKindRadios)
        winkit::ButtonCtrl(Item(radio.button)).SetCheck(radio.kind == rule.kind ? BST_CHECKED : BST_UNCHECKED);
    int entry = column_.FindStringExact(rule.column.c_str());
    if (entry != CB_ERR) column_.SetCurSel(entry);
}

int CConfigureView::AddRuleItem(const FilterRule& rule) {
    auto copy = std::make_unique<FilterRule>(rule);
    int index = rules_.AddItemData(reinterpret_cast<LPARAM>(copy.get()));
    if (index >= 0) copy.release();  // the item owns it now; WM_DELETEITEM frees it
    return index;
}

FilterRule* CConfigureView::RuleItem(int index) const {
    LPARAM data = rules_.ItemData(index);
    return data == LB_ERR ? nullptr : reinterpret_cast<FilterRule*>(data);
}

void CConfigureView::OnRuleAdd(UINT, int, HWND) {
    FilterRule rule;
    if (!RuleFromControls(rule)) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    int index = AddRuleItem(rule);
    if (index >= 0) rules_.SetCurSel(index);
    rules_.Redraw();  // the rule before it now ends with AND
    UpdateRuleButtons();
}

void CConfigureView::OnRuleDelete(UINT, int, HWND) {
    int chosen = rules_.CurSel();
    if (chosen == LB_ERR) return;
    rules_.DeleteString(chosen);
    rules_.Redraw();
    UpdateRuleButtons();
}

void CConfigureView::OnRuleUpdate(UINT, int, HWND) {
    int chosen = rules_.CurSel();
    if (chosen == LB_ERR) return;
    FilterRule rule;
    if (!RuleFromControls(rule)) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    if (FilterRule* held = RuleItem(chosen)) *held = rule;
    rules_.Redraw();
    UpdateRuleButtons();
}

void CConfigureView::OnRuleSelected(UINT, int, HWND) {
    int chosen = rules_.CurSel();
    if (chosen != LB_ERR)
        if (const FilterRule* rule = RuleItem(chosen)) ShowRule(*rule);
    UpdateRuleButtons();
}

// Owner-drawn rule list.
void CConfigureView::OnDeleteItem(int id, DELETEITEMSTRUCT* item) {
    if (id == IDC_CV_RULES) std::unique_ptr<FilterRule>(reinterpret_cast<FilterRule*>(item->itemData));
}

void CConfigureView::OnDrawItem(int id, DRAWITEMSTRUCT* draw) {
    if (id == IDC_CV_RULES) DrawRule(*draw);
}

void CConfigureView::DrawRule(const DRAWITEMSTRUCT& draw) const {
    HDC dc = draw.hDC;
    RECT rect = draw.rcItem;
    if (draw.itemID == static_cast<UINT>(-1) || !draw.itemData) {
        if (draw.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rect);
        return;
    }
    const FilterRule& rule = *reinterpret_cast<const FilterRule*>(draw.itemData);
    bool selected = (draw.itemState & ODS_SELECTED) != 0;
    COLORREF background = selected ? kRuleSelectedBackground : ::GetSysColor(COLOR_WINDOW);
    COLORREF text = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    winkit::UniqueHBrush brush(::CreateSolidBrush(background));
    ::FillRect(dc, &rect, brush.get());

    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = ::GetTextColor(dc);
    bool followed = static_cast<int>(draw.itemID) < rules_.Count() - 1;
    int x = rect.left;
    for (const RuleTextPiece& piece : RuleTextPieces(rule, followed)) {
        COLORREF colour = piece.colour == RuleTextPiece::Keyword ? kRuleKeywordColour
                          : piece.colour == RuleTextPiece::And   ? kRuleAndColour
                                                                 : text;
        ::SetTextColor(dc, colour);
        RECT pieceRect = {x, rect.top, rect.right, rect.bottom};
        int length = static_cast<int>(piece.text.size());
        ::DrawTextW(dc, piece.text.c_str(), length, &pieceRect, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_LEFT);
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, piece.text.c_str(), length, &extent);
        x += extent.cx;
    }
    ::SetTextColor(dc, oldColour);
    ::SetBkMode(dc, oldMode);
    if (draw.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rect);
}
