#pragma once
// The "General" tab: name, description, status and notes of the task. It holds the
// values the dialog saves, as last read from its controls.
#include <string>
#include "propertypage.h"
#include "taskpagehost.h"
#include "res/taskpropertiesres.h"
#include "winkit/dialog_impl.h"

class CTaskGeneralPage : public winkit::DialogImpl<CTaskGeneralPage>, public CPropertyPage {
public:
    enum { IDD = IDD_TASKGENERAL };

    explicit CTaskGeneralPage(const TaskPageHost& host) noexcept;

    // Fills the controls from the task shown (or, in creation mode, from the page's own
    // values) and sets which of them may be edited.
    void LoadFromTask();
    bool OnApply() override;
    void OnCommit() override {}

    const std::wstring& Name() const noexcept { return name_; }
    const std::wstring& Description() const noexcept { return description_; }
    int Status() const noexcept { return status_; }
    const std::wstring& Notes() const noexcept { return notes_; }

    // The sentence shown as the description of a task that was not made by hand.
    static std::wstring GeneratedDescription(const TaskItem& task);

    BEGIN_MSG_MAP(CTaskGeneralPage)
        PROPERTY_PAGE_MESSAGES()
        MSG_WM_INITDIALOG(OnInitDialog)
        COMMAND_HANDLER_EX(IDC_TASKGENERAL_NAME, EN_CHANGE, OnControlChanged)
        COMMAND_HANDLER_EX(IDC_TASKGENERAL_DESCRIPTION, EN_CHANGE, OnControlChanged)
        COMMAND_HANDLER_EX(IDC_TASKGENERAL_NOTES, EN_CHANGE, OnControlChanged)
        COMMAND_HANDLER_EX(IDC_TASKGENERAL_STATUS, CBN_SELCHANGE, OnControlChanged)
    END_MSG_MAP()

private:
    BOOL OnInitDialog(HWND focus, LPARAM);
    void OnControlChanged(UINT, int, HWND);
    void FillStatusList() const;
    void ShowTask(const TaskItem* task) const;
    void ShowOwnValues() const;

    const TaskPageHost& host_;
    std::wstring name_;
    std::wstring description_;
    int status_ = 0;
    std::wstring notes_;
};
