#pragma once
// "Task Properties": one task of the To Do list at a time on tabbed pages (General,
// Details, History, and Create or Update for tasks with assignments), stepping to the
// previous or next row of the list, running or deferring the task, and applying the
// edits through the owner. Opened without a task list it collects a new manual task.
//
// After DoModal the owner reads the end code, ChangedFlag() and Values() (the General
// page's four values as last applied, the index, and the assignments of that task).
#include <array>
#include <string>
#include "taskcreatepage.h"
#include "taskdetailspage.h"
#include "taskgeneralpage.h"
#include "taskhistorypage.h"
#include "taskitemcollection.h"
#include "taskpagehost.h"
#include "res/taskpropertiesres.h"
#include "taskpropertyowner.h"
#include "tabctrlex.h"
#include "winkit/dialog_impl.h"
#include "winkit/modal_key_filter.h"
#include "winkit/tooltip_button.h"
#include "winkit/unique_handle.h"

class CTaskPropertyDlg : public winkit::DialogImpl<CTaskPropertyDlg>, private TaskPageHost {
public:
    enum { IDD = IDD_TASKPROPERTIES };

    // tasks: the owner's tasks, or null for a new manual task (currentIndex 0).
    CTaskPropertyDlg(TaskPropertyOwner& owner, TaskItemCollection* tasks, int currentIndex);
    ~CTaskPropertyDlg() override;

    bool ChangedFlag() const noexcept { return changed_; }
    // What a save sends, as the pages last applied it.
    TaskPropertyValues Values() const;

    BEGIN_MSG_MAP(CTaskPropertyDlg)
        MSG_WM_INITDIALOG(OnInitDialog)
        MSG_WM_DESTROY(OnDestroy)
        MESSAGE_HANDLER_EX(WM_TASKPAGE_CHANGED, OnPageChanged)
        COMMAND_HANDLER_EX(IDOK, BN_CLICKED, OnOk)
        COMMAND_HANDLER_EX(IDCANCEL, BN_CLICKED, OnCancel)
        COMMAND_HANDLER_EX(IDC_TASKPROPERTIES_APPLY, BN_CLICKED, OnApplyButton)
        COMMAND_HANDLER_EX(IDC_TASKPROPERTIES_PREVIOUS, BN_CLICKED, OnPrevious)
        COMMAND_HANDLER_EX(IDC_TASKPROPERTIES_NEXT, BN_CLICKED, OnNext)
        COMMAND_HANDLER_EX(IDC_TASKPROPERTIES_ACTION, BN_CLICKED, OnAction)
        COMMAND_HANDLER_EX(IDC_TASKPROPERTIES_DEFER, BN_CLICKED, OnDefer)
        NOTIFY_HANDLER_EX(IDC_TASKPROPERTIES_TABS, TCN_SELCHANGING, OnTabChanging)
        NOTIFY_HANDLER_EX(IDC_TASKPROPERTIES_TABS, TCN_SELCHANGE, OnTabChanged)
    END_MSG_MAP()

private:
    static std::wstring TitleFor(const TaskItem* task, bool creationMode);
    bool CreationMode() const override { return tasks_ == nullptr; }
    const TaskItem* CurrentTask() const override;
    TaskItem* CurrentRecord() const;

    BOOL OnInitDialog(HWND focus, LPARAM);
    void OnDestroy();
    LRESULT OnPageChanged(UINT, WPARAM, LPARAM);
    void OnOk(UINT, int, HWND);
    void OnCancel(UINT, int, HWND);
    void OnApplyButton(UINT, int, HWND);
    void OnPrevious(UINT, int, HWND);
    void OnNext(UINT, int, HWND);
    void OnAction(UINT, int, HWND);
    void OnDefer(UINT, int, HWND);
    LRESULT OnTabChanging(NMHDR*);
    LRESULT OnTabChanged(NMHDR*);

    void SetUpButtons();
    void CreateTabs();
    void CreatePages();
    void UpdateTaskTab();
    void Reload();
    void ApplyButtonRule();
    void Apply();
    void Step(bool forward);
    void EnableButton(int id, bool enable) const;

    TaskPropertyOwner& owner_;
    TaskItemCollection* tasks_;
    int currentIndex_;
    bool changed_ = false;
    bool ready_ = false;
    CTaskGeneralPage general_;
    CTaskDetailsPage details_;
    CTaskHistoryPage history_;
    CTaskCreatePage create_;
    CTabCtrlEx tabs_;
    winkit::ModalKeyFilter tabKeys_;
    // "-", "+", Action, Defer: the small buttons with tooltips.
    std::array<winkit::CToolTipButton, 4> smallButtons_;
    winkit::UniqueHBitmap runPicture_;
    winkit::UniqueHBitmap deferPicture_;
};
