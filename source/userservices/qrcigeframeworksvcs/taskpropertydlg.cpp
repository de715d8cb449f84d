#include "taskpropertydlg.h"

#include "winkit/wait_cursor.h"

namespace {

constexpr int kTabMargin = 5;
constexpr int kButtonRowHeight = 35;
constexpr int kCreateTab = 3;
constexpr int kHistoryTab = 2;
constexpr int kSmallButtonIds[] = {IDC_TASKPROPERTIES_PREVIOUS, IDC_TASKPROPERTIES_NEXT, IDC_TASKPROPERTIES_ACTION,
                                   IDC_TASKPROPERTIES_DEFER};

} // namespace

CTaskPropertyDlg::CTaskPropertyDlg(TaskPropertyOwner& owner, TaskItemCollection* tasks, int currentIndex)
    : owner_(owner),
      tasks_(tasks),
      currentIndex_(tasks ? currentIndex : 0),
      general_(*this),
      details_(*this),
      history_(*this),
      create_(*this) {}

CTaskPropertyDlg::~CTaskPropertyDlg() = default;

const TaskItem* CTaskPropertyDlg::CurrentTask() const { return CurrentRecord(); }

TaskItem* CTaskPropertyDlg::CurrentRecord() const {
    return tasks_ ? tasks_->FindByKey(currentIndex_) : nullptr;
}

TaskPropertyValues CTaskPropertyDlg::Values() const {
    TaskPropertyValues values;
    values.index = currentIndex_;
    values.name = general_.Name();
    values.description = general_.Description();
    values.status = general_.Status();
    values.notes = general_.Notes();
    values.assignments = create_.Document();
    return values;
}

std::wstring CTaskPropertyDlg::TitleFor(const TaskItem* task, bool creationMode) {
    if (creationMode) return L"Task Properties - " + CategoryWord(kCategoryManual) + L" Task";
    if (!task) return L"Task Properties";
    return L"Task Properties - " + CategoryWord(task->ToDo_Category) + L" Task";
}

BOOL CTaskPropertyDlg::OnInitDialog(HWND, LPARAM) {
    ready_ = false;
    SetUpButtons();
    CreateTabs();
    CreatePages();
    tabs_.AddPage(general_, L"General", 0);
    tabs_.AddPage(details_, L"Details", 0);
    tabs_.AddPage(history_, L"History", 0);
    UpdateTaskTab();
    tabs_.SelectPage(0);
    // Ctrl+Tab would otherwise reach the dialog manager as a plain Tab.
    tabKeys_.Start(hwnd_, [this](const MSG& key) { return tabs_.OnSwitchKey(key); });

    if (CreationMode()) {
        for (int id : {IDC_TASKPROPERTIES_PREVIOUS, IDC_TASKPROPERTIES_NEXT, IDC_TASKPROPERTIES_APPLY,
                       IDC_TASKPROPERTIES_ACTION, IDC_TASKPROPERTIES_DEFER})
            EnableButton(id, false);
    } else {
        EnableButton(IDC_TASKPROPERTIES_PREVIOUS, !owner_.IsFirstRow(currentIndex_));
        EnableButton(IDC_TASKPROPERTIES_NEXT, !owner_.IsLastRow(currentIndex_));
        ApplyButtonRule();
    }
    changed_ = false;
    ready_ = true;
    return TRUE;
}

void CTaskPropertyDlg::OnDestroy() {
    tabKeys_.Stop();
    runPicture_.reset();
    deferPicture_.reset();
}

void CTaskPropertyDlg::SetUpButtons() {
    const UINT pictureFlags = LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS;
    runPicture_.reset(static_cast<HBITMAP>(
        ::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_TASKPROPERTIES_RUN), IMAGE_BITMAP, 15, 15, pictureFlags)));
    deferPicture_.reset(static_cast<HBITMAP>(
        ::LoadImageW(ResourceInstance(), MAKEINTRESOURCEW(IDB_TASKPROPERTIES_DEFER), IMAGE_BITMAP, 15, 15, pictureFlags)));
    ::SendDlgItemMessageW(hwnd_, IDC_TASKPROPERTIES_ACTION, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(runPicture_.get()));
    ::SendDlgItemMessageW(hwnd_, IDC_TASKPROPERTIES_DEFER, BM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(deferPicture_.get()));
    const wchar_t* tips[] = {L"Previous Task", L"Next Task", L"Run Task", L"Defer Task"};
    for (size_t i = 0; i < smallButtons_.size(); ++i) {
        smallButtons_[i].SetToolTipText(tips[i]);
        smallButtons_[i].Subclass(Item(kSmallButtonIds[i]));
    }
}

void CTaskPropertyDlg::CreateTabs() {
    RECT area = ClientRect();
    area.left += kTabMargin;
    area.top += kTabMargin;
    area.right -= kTabMargin;
    area.bottom -= kButtonRowHeight;
    // Clipping the siblings keeps the control from painting over the pages above it.
    tabs_.Create(hwnd_, area, IDC_TASKPROPERTIES_TABS, L"TabControl", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP);
    tabs_.SetFont(Font());
}

void CTaskPropertyDlg::CreatePages() {
    CPropertyPage* pages[] = {&general_, &details_, &history_, &create_};
    for (CPropertyPage* page : pages) page->SetOwner(hwnd_);
    general_.Create(hwnd_);
    details_.Create(hwnd_);
    history_.Create(hwnd_);
    create_.Create(hwnd_);
    for (CPropertyPage* page : pages) {
        HWND window = page->PageWindow();
        ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        tabs_.FitPage(*page);
    }
}

void CTaskPropertyDlg::UpdateTaskTab() {
    const TaskItem* task = CurrentTask();
    SetText(TitleFor(task, CreationMode()));
    if (CreationMode()) return;

    const int selected = tabs_.Selection();
    auto removeCreateTab = [&] {
        if (tabs_.PageCount() <= kCreateTab) return;
        if (tabs_.Selection() == kCreateTab) tabs_.SelectPage(kHistoryTab);
        tabs_.RemovePage(kCreateTab);
        ::ShowWindow(create_.PageWindow(), SW_HIDE);
    };

    const int category = task ? task->ToDo_Category : -1;
    if (category == kCategoryCreate || category == kCategoryUpdate) {
        const bool update = category == kCategoryUpdate;
        create_.PrepareColumns(update ? ItemPropertyLayout::Update : ItemPropertyLayout::Create);
        removeCreateTab();
        winkit::UniqueBstr document;
        owner_.FetchTaskAssignments(currentIndex_, document);
        create_.LoadAssignments(document.str(), currentIndex_);
        tabs_.AddPage(create_, update ? L"Update" : L"Create", 0);
    } else {
        removeCreateTab();
        // Assignments belong to one task: another task's must never be saved with this one.
        create_.ClearAssignments();
    }
    // The source item tag belongs to the shown task's assignments, too.
    std::wstring tag;
    create_.TopObjectName(tag);
    details_.SetSourceItemTag(tag);

    const int count = tabs_.PageCount();
    if (selected >= 0) tabs_.SelectPage(selected < count ? selected : kHistoryTab);
}

void CTaskPropertyDlg::Reload() {
    general_.LoadFromTask();
    details_.LoadFromTask();
    history_.LoadFromTask();
    create_.LoadFromTask();
    ApplyButtonRule();
    // Last: loading the controls itself reports changes.
    changed_ = false;
}

void CTaskPropertyDlg::ApplyButtonRule() {
    const TaskItem* task = CurrentTask();
    // Unlike the list's buttons, these offer a task marked deleted.
    const bool runnable = task && tasks_->Run && StatusOffersRun(*task);
    const bool deferrable = task && tasks_->Defer && StatusOffersDefer(*task);
    EnableButton(IDC_TASKPROPERTIES_ACTION, runnable);
    EnableButton(IDC_TASKPROPERTIES_DEFER, deferrable);
    EnableButton(IDC_TASKPROPERTIES_APPLY, false);
}

void CTaskPropertyDlg::EnableButton(int id, bool enable) const { ::EnableWindow(Item(id), enable ? TRUE : FALSE); }

LRESULT CTaskPropertyDlg::OnPageChanged(UINT, WPARAM, LPARAM) {
    if (!ready_) return 0;
    changed_ = true;
    if (currentIndex_ >= 1) EnableButton(IDC_TASKPROPERTIES_APPLY, true);
    return 0;
}

void CTaskPropertyDlg::Apply() {
    if (!changed_ || CreationMode()) return;
    tabs_.CommitAll();  // a page cannot veto a save
    owner_.SaveTaskProperties(Values());
    // The flag stays: OK saves once more, and the owner refreshes its list after the dialog.
}

void CTaskPropertyDlg::OnApplyButton(UINT, int, HWND) { Apply(); }

void CTaskPropertyDlg::OnOk(UINT, int, HWND) {
    if (!tabs_.CommitAll()) return;
    tabs_.CommitFirst();
    EndDialog(IDOK);
}

void CTaskPropertyDlg::OnCancel(UINT, int, HWND) { EndDialog(IDCANCEL); }

void CTaskPropertyDlg::OnPrevious(UINT, int, HWND) { Step(false); }

void CTaskPropertyDlg::OnNext(UINT, int, HWND) { Step(true); }

void CTaskPropertyDlg::Step(bool forward) {
    if (CreationMode()) return;
    if (forward ? owner_.IsLastRow(currentIndex_) : owner_.IsFirstRow(currentIndex_)) return;
    if (changed_) {
        int answer = ::MessageBoxW(hwnd_, L"You have made changes to this task.\nDo you wish to save these changes?",
                                   L"To Do List", MB_YESNO | MB_ICONWARNING);
        if (answer == IDYES) Apply();
    }
    const int key = forward ? owner_.NextKey(currentIndex_) : owner_.PreviousKey(currentIndex_);
    if (key < 0) return;
    currentIndex_ = key;
    UpdateTaskTab();
    Reload();
    EnableButton(IDC_TASKPROPERTIES_PREVIOUS, forward || !owner_.IsFirstRow(key));
    EnableButton(IDC_TASKPROPERTIES_NEXT, !forward || !owner_.IsLastRow(key));
}

void CTaskPropertyDlg::OnAction(UINT, int, HWND) {
    if (!CurrentRecord()) return;
    winkit::WaitCursor wait;
    const bool completed = owner_.RunTaskItem(currentIndex_).completed();
    // Found again: the owner may have replaced its records meanwhile.
    if (TaskItem* task = CurrentRecord()) task->ToDo_Status = completed ? kStatusCompleted : kStatusError;
    Reload();
}

void CTaskPropertyDlg::OnDefer(UINT, int, HWND) {
    if (!CurrentRecord()) return;
    winkit::WaitCursor wait;
    // A defer the framework did not take leaves the status as it is: the dialog and, after
    // it, the list would otherwise show a state the workspace does not have.
    if (!owner_.DeferTaskItem(currentIndex_)) return;
    if (TaskItem* task = CurrentRecord())
        task->ToDo_Status = task->ToDo_Status == kStatusDeferred ? kStatusOpen : kStatusDeferred;
    Reload();
}

LRESULT CTaskPropertyDlg::OnTabChanging(NMHDR*) {
    tabs_.OnSelChanging();
    return FALSE;
}

LRESULT CTaskPropertyDlg::OnTabChanged(NMHDR*) {
    tabs_.OnSelChange();
    return 0;
}
