#pragma once
// The "Details" tab: where the task comes from and the item it goes to (read-only).
#include <string>
#include "propertypage.h"
#include "taskpagehost.h"
#include "res/taskpropertiesres.h"
#include "winkit/dialog_impl.h"

class CTaskDetailsPage : public winkit::DialogImpl<CTaskDetailsPage>, public CPropertyPage {
public:
    enum { IDD = IDD_TASKDETAILS };

    explicit CTaskDetailsPage(const TaskPageHost& host) noexcept;

    void LoadFromTask();
    bool OnApply() override { return true; }
    // The source item tag is the name of the top object of the task's assignments: the
    // dialog sets it when it loads them.
    void SetSourceItemTag(const std::wstring& tag) const;

    BEGIN_MSG_MAP(CTaskDetailsPage)
        PROPERTY_PAGE_MESSAGES()
        MSG_WM_INITDIALOG(OnInitDialog)
    END_MSG_MAP()

private:
    BOOL OnInitDialog(HWND focus, LPARAM);

    const TaskPageHost& host_;
};
