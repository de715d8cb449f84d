#pragma once
// The "To Do List" window: a modal, resizable dialog listing the workspace's tasks with
// configurable columns, status views, filter rules and a header-click sort, a row of
// picture buttons with tooltips and a context menu.
//
// The dialog owns the task collection, the column set, the filter rules and the view
// flags; it borrows the workspace from the object that shows it. Failures raised in a
// handler end the dialog and come out of DoModal as the thrown exception.
#include <array>
#include <vector>
#include "comidentifiers.h"
#include "filterrules.h"
#include "taskitemcollection.h"
#include "tasklistcolumns.h"
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

    TaskItemCollection& Tasks() noexcept override { return tasks_; }

    // Reloads the collection from the framework; a failed fetch keeps what it held.
    void FetchTaskList();
    // Inserts list column i for column set entry i.
    void InsertColumns();
    // Rebuilds every row from the collection through the views and filter rules, in
    // collection order, sorted again when a sort column is set. No row stays selected.
    void FillRows();
    // Fetch, forget the sort, fill.
    void Refresh();
    // The header click on a column: ascending on the first click, reversed on each
    // further click of the same column.
    void SortByColumn(int column);
    void UpdateButtonStates();

    // Rows, by their key (the task's ToDo_Index, carried as the row's item data).
    int RowCount() const noexcept { return list_.ItemCount(); }
    int RowKey(int row) const noexcept { return static_cast<int>(list_.ItemData(row)); }
    // The row showing the key, searched from the top; -1 when none does.
    int FindRow(int key) const noexcept;
    // The task of a row; null when the collection holds no task with its key.
    TaskItem* RowTask(int row);
    // The keys of the selected rows, top to bottom.
    std::vector<int> SelectedKeys() const;

    // The property dialog's Previous and Next, on the rows as listed.
    bool IsFirstRow(int key) const noexcept override;
    bool IsLastRow(int key) const noexcept override;
    // The key of the row above / below the row with the key; -1 at the top / bottom
    // and when no row shows the key.
    int PreviousKey(int key) const noexcept override;
    int NextKey(int key) const noexcept override;

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
    LRESULT OnListColumnClick(NMHDR* header);
    void OnClose(UINT notifyCode, int id, HWND control);
    void OnCommand(UINT notifyCode, int id, HWND control);

    void LoadPictures();
    void SetUpButtons();
    void SetUpList();
    void MeasureMargins();
    void ToggleView(int ViewFlags::*flag);
    void SortRows();
    void SetButtonEnabled(int index, bool enabled);
    // Shows a picture on a row at once, while a command is still running.
    void SetRowImage(int row, int image);
    POINT KeyboardMenuPoint() const;

    IWorkspace* workspace_;  // not owned
    TaskItemCollection tasks_;
    ColumnSet columns_;
    FilterRules rules_;
    ViewFlags views_;
    winkit::UniqueHIcon icon_;
    std::array<Picture, kButtonCount> pictures_;
    std::array<winkit::CToolTipButton, kButtonCount> buttons_;
    winkit::ListViewCtrl list_;
    winkit::UniqueHImageList images_;
    int rightMargin_ = 0;
    int bottomMargin_ = 0;
    bool marginsMeasured_ = false;
    int sortColumn_ = -1;
    bool sortAscending_ = false;
    // Row changes made by the dialog itself update the buttons once, at their end.
    bool rebuildingRows_ = false;
    // What the buttons depend on, counted over the selected rows, so that one row's
    // change of selection is one step rather than a pass over the whole selection
    // (selecting all of a long list changes each row in turn).
    struct SelectionSummary {
        int rows = 0;  // selected rows, with or without a task
        int tasks = 0;
        int completed = 0;
        int completedOrDeferred = 0;
        int deleted = 0;
        void Count(const TaskItem* task, int step) noexcept;
    };
    SelectionSummary selection_;
    // The enabled states last given to the buttons, one bit each; -1 to give them again.
    int appliedButtonStates_ = -1;
    void ApplyButtonStates();
};
