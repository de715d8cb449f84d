#include "taskcreatepage.h"

#include "assignmentsdocument.h"

namespace {
// Rows tall enough for the 16-pixel images and the boxes.
constexpr UINT kRowHeight = 18;
constexpr COLORREF kImageBackground = RGB(0xFF, 0x00, 0xFF);
} // namespace

CTaskCreatePage::CTaskCreatePage(const TaskPageHost& host) noexcept
    : CPropertyPage(static_cast<winkit::Window&>(*this)), host_(host) {}

BOOL CTaskCreatePage::OnInitDialog(HWND, LPARAM) {
    // Added masked: the magenta pixels turn black in the colour image, so the images draw
    // cleanly over the highlight of a selected row too.
    images_.reset(::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 0));
    winkit::UniqueHBitmap art(static_cast<HBITMAP>(
        ::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_TASKPROPERTIES_TREE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (images_ && art) ::ImageList_AddMasked(images_.get(), art.get(), kImageBackground);
    winkit::ListViewCtrl list(Item(IDC_TASKCREATE_PROPERTIES));
    list_.Attach(list, images_.get());
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // The list shares the images (LVS_SHAREIMAGELISTS): they only set its row height.
    list.SetImageList(images_.get(), LVSIL_SMALL);
    // Measure the rows again now that this page answers WM_MEASUREITEM.
    list.Send(WM_SETFONT, reinterpret_cast<WPARAM>(list.Font()), FALSE);
    list_.PrepareColumns(ItemPropertyLayout::Create);
    LoadFromTask();
    return TRUE;
}

void CTaskCreatePage::OnMeasureItem(int id, MEASUREITEMSTRUCT* item) {
    if (id == IDC_TASKCREATE_PROPERTIES && item->itemHeight < kRowHeight) item->itemHeight = kRowHeight;
}

void CTaskCreatePage::OnDrawItem(int id, DRAWITEMSTRUCT* item) {
    if (id == IDC_TASKCREATE_PROPERTIES) list_.Draw(*item);
}

LRESULT CTaskCreatePage::OnListClick(NMHDR* header) {
    list_.OnClick(reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction);
    return 0;
}

LRESULT CTaskCreatePage::OnListDoubleClick(NMHDR* header) {
    // A switched flag is a change the user expects the dialog to save.
    if (list_.OnDoubleClick(reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction) && Owner())
        ::SendMessageW(Owner(), WM_TASKPAGE_CHANGED, 0, 0);
    return 0;
}

LRESULT CTaskCreatePage::OnListKeyDown(NMHDR* header) {
    list_.OnKeyDown(reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey);
    return 0;
}

void CTaskCreatePage::LoadFromTask() {
    if (host_.CreationMode()) return;
    const TaskItem* task = host_.CurrentTask();
    winkit::Window(Item(IDC_TASKCREATE_CLASS)).SetText(task ? task->ToDo_Class : std::wstring());
}

void CTaskCreatePage::PrepareColumns(ItemPropertyLayout layout) { list_.PrepareColumns(layout); }

void CTaskCreatePage::LoadAssignments(const std::wstring& document, int taskIndex) {
    taskIndex_ = taskIndex;
    document_ = document;
    list_.ShowObject(nullptr);  // the rows point into the records about to be replaced
    records_ = ReadAssignments(document_);
    list_.ShowObject(records_.empty() ? nullptr : &records_.front());
}

void CTaskCreatePage::ClearAssignments() {
    list_.ShowObject(nullptr);
    records_.clear();
    document_.clear();
    taskIndex_ = 0;
}

bool CTaskCreatePage::TopObjectName(std::wstring& name) const {
    if (records_.empty()) return false;
    name = records_.front().N;
    return true;
}

bool CTaskCreatePage::OnApply() {
    // A document that cannot be rebuilt (no writer, or writing failed) goes back as it
    // was loaded, as an unreadable one does: WriteAssignments leaves it untouched then.
    if (!records_.empty()) WriteAssignments(records_.front(), taskIndex_, document_);
    return true;
}
