#pragma once
// The "History" tab: who created, modified, ran and deleted the task, and when
// (read-only, in the framework's own text form).
#include "propertypage.h"
#include "taskpagehost.h"
#include "res/taskpropertiesres.h"
#include "winkit/dialog_impl.h"

class CTaskHistoryPage : public winkit::DialogImpl<CTaskHistoryPage>, public CPropertyPage {
public:
    enum { IDD = IDD_TASKHISTORY };

    explicit CTaskHistoryPage(const TaskPageHost& host) noexcept;

    void LoadFromTask();
    bool OnApply() override { return true; }

    BEGIN_MSG_MAP(CTaskHistoryPage)
        PROPERTY_PAGE_MESSAGES()
        MSG_WM_INITDIALOG(OnInitDialog)
    END_MSG_MAP()

private:
    BOOL OnInitDialog(HWND focus, LPARAM);

    const TaskPageHost& host_;
};
