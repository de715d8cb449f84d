#include "tasklistdlg.h"

#include "configureview.h"
#include "frameworkgateway.h"
#include "listsettings.h"
#include "winkit/button.h"

namespace {

struct ButtonSpec {
    int id;
    int picture;
    bool hasDisabledPicture;
    const wchar_t* toolTip;
};

// In the order of the row of buttons.
const ButtonSpec kButtons[CTaskListDlg::kButtonCount] = {
    {IDC_TASKLIST_MANUALTASK, IDB_TASKLIST_NEWTASK, false, L"New Manual Task"},
    {IDC_TASKLIST_PROPERTIES, IDB_TASKLIST_PROPERTIES, true, L"Properties"},
    {IDC_TASKLIST_REFRESH, IDB_TASKLIST_REFRESH, false, L"Refresh"},
    {IDC_TASKLIST_REPORT, IDB_TASKLIST_REPORT, false, L"Report"},
    {IDC_TASKLIST_ACTION, IDB_TASKLIST_RUN, false, L"Run Task"},
    {IDC_TASKLIST_DEFER, IDB_TASKLIST_DEFER, false, L"Defer Task"},
    {IDC_TASKLIST_DELETE, IDB_TASKLIST_DELETE, true, L"Delete Task"},
    {IDC_TASKLIST_DELETEFROMSERVER, IDB_TASKLIST_DELETEFROMSERVER, true, L"Permanently Delete Task"},
};

int ButtonIndex(int id) {
    for (int i = 0; i < CTaskListDlg::kButtonCount; ++i)
        if (kButtons[i].id == id) return i;
    return -1;
}

HBITMAP LoadButtonPicture(int id, UINT flags) {
    return static_cast<HBITMAP>(::LoadImageW(CTaskListDlg::ResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP,
                                             15, 15, flags));
}

// The first popup of the context menu: "Properties" greyed without a selected row, each
// view item checked exactly when its view is on.
void PrepareContextMenu(HMENU popup, bool rowSelected, const ViewFlags& views) {
    ::EnableMenuItem(popup, ID_TASKLIST_PROPERTIES, MF_BYCOMMAND | (rowSelected ? MF_ENABLED : MF_GRAYED));
    auto check = [popup](UINT id, int flag) {
        ::CheckMenuItem(popup, id, MF_BYCOMMAND | (flag ? MF_CHECKED : MF_UNCHECKED));
    };
    check(ID_TASKLIST_DELETEDTASKS, views.ShowDeleted);
    check(ID_TASKLIST_OPENTASKS, views.ShowOpen);
    check(ID_TASKLIST_DEFERREDTASKS, views.ShowDeferred);
    check(ID_TASKLIST_COMPLETEDTASKS, views.ShowCompleted);
}

} // namespace

CTaskListDlg::CTaskListDlg(IWorkspace* workspace) : workspace_(workspace) { LoadPictures(); }

CTaskListDlg::~CTaskListDlg() = default;

void CTaskListDlg::LoadPictures() {
    for (int i = 0; i < kButtonCount; ++i) {
        pictures_[i].normal.reset(LoadButtonPicture(kButtons[i].picture, LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS));
        if (kButtons[i].hasDisabledPicture)
            pictures_[i].disabled.reset(LoadButtonPicture(kButtons[i].picture, LR_LOADTRANSPARENT));
    }
}

BOOL CTaskListDlg::OnInitDialog(HWND, LPARAM) {
    icon_.reset(static_cast<HICON>(
        ::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDI_TASKLIST), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR)));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.get()));
    ColumnSet columns;
    LoadViewSettings(model_.Views(), columns);
    model_.SetColumns(std::move(columns));
    SetUpList();
    SetUpButtons();
    InsertColumns();
    FetchTaskList();
    model_.ForgetSort();
    FillRows();  // ends with the buttons' states
    MeasureMargins();
    return TRUE;
}

void CTaskListDlg::SetUpList() {
    list_.Attach(Item(IDC_TASKLIST_LIST));
    DWORD styles = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_SUBITEMIMAGES;
    list_.SetExtendedStyle(styles, styles);
    images_.reset(::ImageList_LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_TASKLIST_ROWICONS), 16, 0,
                                         RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION));
    list_.SetImageList(images_.get(), LVSIL_SMALL);
}

void CTaskListDlg::SetUpButtons() {
    for (int i = 0; i < kButtonCount; ++i) {
        buttons_[i].SetToolTipText(kButtons[i].toolTip);
        buttons_[i].Subclass(Item(kButtons[i].id));
        winkit::ButtonCtrl(buttons_[i].hwnd()).SetBitmap(pictures_[i].normal.get());
    }
}

void CTaskListDlg::MeasureMargins() {
    RECT client = ClientRect();
    RECT list = list_.RectInParent();
    rightMargin_ = client.right - list.right;
    bottomMargin_ = client.bottom - list.bottom;
    marginsMeasured_ = true;
}

void CTaskListDlg::OnSize(UINT, SIZE) {
    if (!marginsMeasured_ || !list_.IsWindow()) return;
    RECT client = ClientRect();
    RECT list = list_.RectInParent();
    int width = client.right - list.left - rightMargin_;
    int height = client.bottom - list.top - bottomMargin_;
    ::SetWindowPos(list_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Close: both ways store the settings.
void CTaskListDlg::OnClose(UINT, int id, HWND) {
    StoreSettings();
    EndDialog(id);
}

void CTaskListDlg::StoreSettings() {
    winkit::HeaderCtrl header = list_.Header();
    std::vector<int> order = header.OrderArray();
    std::vector<ShownColumn> shown;
    shown.reserve(order.size());
    for (int column : order) {
        ShownColumn entry;
        if (column >= 0 && static_cast<size_t>(column) < model_.Columns().size())
            entry.name = model_.Columns()[column].name;
        else
            list_.ColumnText(column, entry.name);
        winkit::LvColumn width;
        width.mask = LVCF_WIDTH;
        if (list_.GetColumn(column, width)) entry.width = width.cx;
        shown.push_back(std::move(entry));
    }
    StoreViewSettings(model_.Views(), shown);
}

// Buttons.
void CTaskListDlg::UpdateButtonStates() {
    selection_ = SelectionSummary();
    for (int row : list_.SelectedRows()) model_.CountRow(selection_, static_cast<size_t>(row), +1);
    appliedButtons_.reset();
    ApplyButtonStates();
}

void CTaskListDlg::ApplyButtonStates() {
    SelectionButtons buttons = model_.Buttons(selection_);
    if (appliedButtons_ == buttons) return;  // a row's change that changes no button
    const std::pair<int, bool> states[] = {
        {IDC_TASKLIST_PROPERTIES, buttons.properties},
        {IDC_TASKLIST_ACTION, buttons.run},
        {IDC_TASKLIST_DEFER, buttons.defer},
        {IDC_TASKLIST_DELETE, buttons.remove},
        {IDC_TASKLIST_DELETEFROMSERVER, buttons.removeFromServer},
    };
    for (const auto& state : states) SetButtonEnabled(ButtonIndex(state.first), state.second);
    appliedButtons_ = buttons;
}

void CTaskListDlg::SetButtonEnabled(int index, bool enabled) {
    winkit::ButtonCtrl button(buttons_[index].hwnd());
    button.Enable(enabled);
    if (kButtons[index].hasDisabledPicture)
        button.SetBitmap(enabled ? pictures_[index].normal.get() : pictures_[index].disabled.get());
}

// Menu.
void CTaskListDlg::OnContextMenu(HWND window, POINT screen) {
    if (window != list_.hwnd() && ::GetParent(window) != list_.hwnd()) return;
    if (screen.x == -1 && screen.y == -1) screen = KeyboardMenuPoint();
    ShowContextMenu(screen);
}

// Shift+F10 or the menu key: at the selected row (the focused one when it is
// selected), or at the list's corner without a selection.
POINT CTaskListDlg::KeyboardMenuPoint() const {
    int row = list_.NextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
    if (row == -1) row = list_.NextItem(-1, LVNI_SELECTED);
    POINT point = {0, 0};
    RECT rect;
    if (row != -1 && list_.ItemRect(row, rect, LVIR_LABEL)) point = POINT{rect.left, rect.bottom};
    ::ClientToScreen(list_, &point);
    return point;
}

void CTaskListDlg::ShowContextMenu(POINT screen) {
    winkit::UniqueHMenu menu(::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(IDR_TASKLIST_MENU)));
    if (!menu) return;
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    PrepareContextMenu(popup, list_.SelectedCount() > 0, model_.Views());
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd_, nullptr);
}

void CTaskListDlg::OnCommand(UINT, int id, HWND) {
    switch (id) {
    case IDC_TASKLIST_MANUALTASK: OnManualTask(); break;
    case IDC_TASKLIST_PROPERTIES:
    case ID_TASKLIST_PROPERTIES: OnProperties(); break;
    case IDC_TASKLIST_REFRESH: Refresh(); break;
    case IDC_TASKLIST_REPORT: OnReport(); break;
    case IDC_TASKLIST_ACTION: OnAction(); break;
    case IDC_TASKLIST_DEFER: OnDefer(); break;
    case IDC_TASKLIST_DELETE: OnDelete(); break;
    case IDC_TASKLIST_DELETEFROMSERVER: OnDeleteFromServer(); break;
    case ID_TASKLIST_SETTINGS: ConfigureView(); break;
    case ID_TASKLIST_DELETEDTASKS: ToggleView(&ViewFlags::ShowDeleted); break;
    case ID_TASKLIST_OPENTASKS: ToggleView(&ViewFlags::ShowOpen); break;
    case ID_TASKLIST_DEFERREDTASKS: ToggleView(&ViewFlags::ShowDeferred); break;
    case ID_TASKLIST_COMPLETEDTASKS: ToggleView(&ViewFlags::ShowCompleted); break;
    default: break;
    }
}

LRESULT CTaskListDlg::OnListDoubleClick(NMHDR*) {
    OnProperties();
    return 0;
}

void CTaskListDlg::ToggleView(int ViewFlags::*flag) {
    model_.Views().*flag = model_.Views().*flag ? 0 : 1;
    FillRows();
}

void CTaskListDlg::Refresh() {
    FetchTaskList();
    model_.ForgetSort();
    ShowSortArrow();
    FillRows();
}

void CTaskListDlg::FetchTaskList() {
    ::FetchTaskList(workspace_, model_.Tasks());
    model_.TasksChanged();
}

void CTaskListDlg::ConfigureView() {
    CConfigureView view;
    for (const ColumnEntry& column : model_.Columns()) view.VisibleNames.push_back(column.name);
    view.Rules = model_.Rules();
    HWND owner = ::GetActiveWindow();
    if (view.DoModal(owner ? owner : hwnd_) != IDOK) return;

    model_.Rules() = view.Rules;
    ColumnSet columns;
    for (const std::wstring& name : view.VisibleNames) columns.push_back({name, kDefaultColumnWidth});
    model_.SetColumns(std::move(columns));
    {
        winkit::RedrawOffGuard redrawOff(list_);
        list_.DeleteAllItems();
        while (list_.DeleteColumn(0)) {
        }
    }
    InsertColumns();
    StoreSettings();
    FillRows();
}
