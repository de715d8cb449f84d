#pragma once
// The "Create" / "Update" tab of Create and Update tasks: the class of the item and its
// properties as a tree, from the task's assignments document. The document goes back
// to the framework, rebuilt from the records, when the task is saved.
#include <string>
#include <vector>
#include "itempropertylist.h"
#include "propertypage.h"
#include "taskpagehost.h"
#include "res/taskpropertiesres.h"
#include "winkit/dialog_impl.h"
#include "winkit/unique_handle.h"

class CTaskCreatePage : public winkit::DialogImpl<CTaskCreatePage>, public CPropertyPage {
public:
    enum { IDD = IDD_TASKCREATE };

    explicit CTaskCreatePage(const TaskPageHost& host) noexcept;

    void LoadFromTask();
    // Rebuilds the document from the records (the flags may have changed). An empty or
    // unreadable document has no records, and a document that cannot be rebuilt keeps
    // what was loaded: both are given back as they were loaded.
    bool OnApply() override;

    void PrepareColumns(ItemPropertyLayout layout);
    // Keeps the task's index and document, reads the records and shows the rows.
    void LoadAssignments(const std::wstring& document, int taskIndex);
    // The shown task has no assignments: no document, no records, no rows.
    void ClearAssignments();

    // The document for "SetTaskAssignments": the shown task's own, or empty.
    const std::wstring& Document() const noexcept { return document_; }
    int TaskIndex() const noexcept { return taskIndex_; }
    // The name (item tag) of the top object; false without one.
    bool TopObjectName(std::wstring& name) const;

    ItemPropertyList& List() noexcept { return list_; }
    const std::vector<ObjRecord>& Records() const noexcept { return records_; }

    BEGIN_MSG_MAP(CTaskCreatePage)
        PROPERTY_PAGE_MESSAGES()
        MSG_WM_INITDIALOG(OnInitDialog)
        MSG_WM_DRAWITEM(OnDrawItem)
        MSG_WM_MEASUREITEM(OnMeasureItem)
        NOTIFY_HANDLER_EX(IDC_TASKCREATE_PROPERTIES, NM_CLICK, OnListClick)
        NOTIFY_HANDLER_EX(IDC_TASKCREATE_PROPERTIES, NM_DBLCLK, OnListDoubleClick)
        NOTIFY_HANDLER_EX(IDC_TASKCREATE_PROPERTIES, LVN_KEYDOWN, OnListKeyDown)
    END_MSG_MAP()

private:
    BOOL OnInitDialog(HWND focus, LPARAM);
    void OnDrawItem(int id, DRAWITEMSTRUCT* item);
    void OnMeasureItem(int id, MEASUREITEMSTRUCT* item);
    LRESULT OnListClick(NMHDR* header);
    LRESULT OnListDoubleClick(NMHDR* header);
    LRESULT OnListKeyDown(NMHDR* header);

    const TaskPageHost& host_;
    int taskIndex_ = 0;
    std::wstring document_;
    std::vector<ObjRecord> records_;
    ItemPropertyList list_;
    winkit::UniqueHImageList images_;
};
