#pragma once
// The "To Do List" window: a modal, resizable dialog listing the workspace's tasks with
// configurable columns, status views, filter rules and a header-click sort, a row of
// picture buttons with tooltips and a context menu.
//
// The dialog turns messages into calls on its TaskListModel; its list view is owner-data
// and keeps only the selection and focus (tasklistbinding.cpp answers it). It borrows the
// workspace from the object that shows it. Failures raised in a handler end the dialog
// and come out of DoModal as the thrown exception.
#include <array>
#include <optional>
#include <vector>
#include "comidentifiers.h"
#include "tasklistmodel.h"
#include "taskpropertyowner.h"
#include "res/tasklistres.h"
#include "winkit/dialog_impl.h"
#include "winkit/list_view.h"
#include "winkit/tooltip_button.h"
#include "winkit/unique_handle.h"

// Tests reach the dialog's rows, collection and settings through this friend.
struct TaskListDialogAccess;

class CTaskListDlg : public winkit::DialogImpl<CTaskListDlg>, public TaskPropertyOwner {
public:
    enum { IDD = IDD_TASKLIST };
    static constexpr int kButtonCount = 8;

    // Loads the button pictures; the workspace must outlive the dialog.
    explicit CTaskListDlg(IWorkspace* workspace);
    ~CTaskListDlg() override;

    BEGIN_MSG_MAP(CTaskListDlg)
        MSG_WM_INITDIALOG(OnInitDialog)
        MSG_WM_SIZE(OnSize)
        MSG_WM_CONTEXTMENU(OnContextMenu)
        NOTIFY_HANDLER_EX(IDC_TASKLIST_LIST, NM_DBLCLK, OnListDoubleClick)
        NOTIFY_HANDLER_EX(IDC_TASKLIST_LIST, LVN_ITEMCHANGED, OnListItemChanged)
        NOTIFY_HANDLER_EX(IDC_TASKLIST_LIST, LVN_ODSTATECHANGED, OnListStateRangeChanged)
        NOTIFY_HANDLER_EX(IDC_TASKLIST_LIST, LVN_GETDISPINFOW, OnListGetDispInfo)
        NOTIFY_HANDLER_EX(IDC_TASKLIST_LIST, LVN_ODFINDITEMW, OnListFindItem)
        NOTIFY_HANDLER_EX(IDC_TASKLIST_LIST, LVN_COLUMNCLICK, OnListColumnClick)
        COMMAND_ID_HANDLER_EX(IDOK, OnClose)
        COMMAND_ID_HANDLER_EX(IDCANCEL, OnClose)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_MANUALTASK, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_PROPERTIES, OnCommand)
        COMMAND_ID_HANDLER_EX(ID_TASKLIST_PROPERTIES, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_REFRESH, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_REPORT, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_ACTION, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_DEFER, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_DELETE, OnCommand)
        COMMAND_ID_HANDLER_EX(IDC_TASKLIST_DELETEFROMSERVER, OnCommand)
        COMMAND_ID_HANDLER_EX(ID_TASKLIST_SETTINGS, OnCommand)
        COMMAND_ID_HANDLER_EX(ID_TASKLIST_DELETEDTASKS, OnCommand)
        COMMAND_ID_HANDLER_EX(ID_TASKLIST_OPENTASKS, OnCommand)
        COMMAND_ID_HANDLER_EX(ID_TASKLIST_DEFERREDTASKS, OnCommand)
        COMMAND_ID_HANDLER_EX(ID_TASKLIST_COMPLETEDTASKS, OnCommand)
    END_MSG_MAP()

private:
    friend struct TaskListDialogAccess;

    // Reloads the tasks from the framework; a failed fetch keeps what they held.
    void FetchTaskList();
    // Inserts list column i for column set entry i.
    void InsertColumns();
    // The model's fill, then the list's count: no row stays selected, the selection mark
    // goes to row 0.
    void FillRows();
    // Fetch, forget the sort, fill.
    void Refresh();
    // The header click; the same tasks stay selected, focused and marked.
    void SortByColumn(int column);
    // The platform's sort arrow on the sorted column's header, and on no other.
    void ShowSortArrow();
    // Counts the selection again and gives the buttons their states.
    void UpdateButtonStates();
    void ApplyButtonStates();

    // The keys of the selected rows, top to bottom.
    std::vector<int> SelectedKeys() const;

    // The property dialog's Previous and Next, on the rows as listed.
    bool IsFirstRow(int key) const noexcept override { return model_.IsFirstRow(key); }
    bool IsLastRow(int key) const noexcept override { return model_.IsLastRow(key); }
    int PreviousKey(int key) const override { return model_.PreviousKey(key); }
    int NextKey(int key) const override { return model_.NextKey(key); }

    // The task operations the property dialog calls (taskoperations.h), on this
    // dialog's workspace and collection.
    void SaveTaskProperties(const TaskPropertyValues& values) override;
    RunOutcome RunTaskItem(int index) override;
    bool DeferTaskItem(int index) override;
    void FetchTaskAssignments(int index, winkit::UniqueBstr& document) override;

    // Store the view settings: the flags and the columns as the list shows them.
    void StoreSettings();
    // The view configuration dialog, then new columns, stored settings and a fill.
    void ConfigureView();
    void ShowContextMenu(POINT screen);

    // The task commands.
    void OnManualTask();
    void OnProperties();
    void OnAction();
    void OnDefer();
    void OnDelete();
    void OnDeleteFromServer();
    void OnReport();

    struct Picture {
        winkit::UniqueHBitmap normal;
        winkit::UniqueHBitmap disabled;
    };

    BOOL OnInitDialog(HWND focus, LPARAM initParam);
    void OnSize(UINT type, SIZE size);
    void OnContextMenu(HWND window, POINT screen);
    LRESULT OnListDoubleClick(NMHDR* header);
    LRESULT OnListItemChanged(NMHDR* header);
    LRESULT OnListStateRangeChanged(NMHDR* header);
    LRESULT OnListGetDispInfo(NMHDR* header);
    LRESULT OnListFindItem(NMHDR* header);
    LRESULT OnListColumnClick(NMHDR* header);
    void OnClose(UINT notifyCode, int id, HWND control);
    void OnCommand(UINT notifyCode, int id, HWND control);

    void LoadPictures();
    void SetUpButtons();
    void SetUpList();
    void MeasureMargins();
    void ToggleView(int ViewFlags::*flag);
    void SetButtonEnabled(int index, bool enabled);
    // Shows a picture on a row at once, while a command is still running.
    void SetRowImage(int row, int image);
    POINT KeyboardMenuPoint() const;

    IWorkspace* workspace_;  // not owned
    TaskListModel model_;
    winkit::UniqueHIcon icon_;
    std::array<Picture, kButtonCount> pictures_;
    std::array<winkit::CToolTipButton, kButtonCount> buttons_;
    winkit::ListViewCtrl list_;
    winkit::UniqueHImageList images_;
    int rightMargin_ = 0;
    int bottomMargin_ = 0;
    bool marginsMeasured_ = false;
    // Row changes made by the dialog itself update the buttons once, at their end.
    bool rebuildingRows_ = false;
    SelectionSummary selection_;
    // The enabled states last given to the buttons; none until they are first given.
    std::optional<SelectionButtons> appliedButtons_;
    // The texts the list asks for are made here, reusing its storage.
    std::wstring textScratch_;
};
