// The property dialog's keyboard through its own modal loop: each key is posted from a
// thread timer, which the loop runs only when nothing the previous key caused is queued.
#include "taskpropertydlg_fixture.h"

namespace {

struct Key {
    const char* name;
    UINT code;
    bool shift, ctrl;
};
const Key kOpen{"(open)", 0, false, false}, kTab{"Tab", VK_TAB, false, false}, kBack{"Shift+Tab", VK_TAB, true, false},
    kNext{"Ctrl+Tab", VK_TAB, false, true}, kPrevious{"Ctrl+Shift+Tab", VK_TAB, true, true},
    kPageDown{"Ctrl+PgDn", VK_NEXT, false, true}, kPageUp{"Ctrl+PgUp", VK_PRIOR, false, true};

// The focused control by its text (the dialog's buttons) or by the field it edits.
std::string Focused() {
    HWND focus = ::GetFocus();
    const std::pair<int, const char*> kFields[] = {{IDC_TASKGENERAL_NAME, "Name"}, {IDC_TASKGENERAL_NOTES, "Notes"},
        {IDC_TASKGENERAL_DESCRIPTION, "Description"}, {IDC_TASKDETAILS_TOOL, "Tool"}, {IDC_TASKPROPERTIES_TABS, "tabs"}};
    for (const auto& [id, field] : kFields)
        if (::GetDlgCtrlID(focus) == id) return field;
    wchar_t kind[16] = {};
    ::GetClassNameW(focus, kind, 16);
    std::string text;
    for (wchar_t c : WindowText(focus)) text += static_cast<char>(c);  // the buttons' texts are ASCII
    return _wcsicmp(kind, L"ComboBox") == 0 ? "Status" : text;
}

struct Presses {
    HWND dialog = nullptr;
    std::vector<Key> keys;
    std::vector<std::string> seen;  // "key: focus tab"
} *presses = nullptr;

void CALLBACK PressNext(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!presses) return (void)::KillTimer(nullptr, timer);  // the watchdog ended the dialog
    Presses& p = *presses;
    const auto tab = ::SendDlgItemMessageW(p.dialog, IDC_TASKPROPERTIES_TABS, TCM_GETCURSEL, 0, 0);
    p.seen.push_back(std::string(p.keys[p.seen.size()].name) + ": " + Focused() + " " + std::to_string(tab));
    if (p.seen.size() == p.keys.size()) {
        ::KillTimer(nullptr, timer);
        ::PostMessageW(p.dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    const Key& key = p.keys[p.seen.size()];
    Hold(key.shift, key.ctrl);
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, key.code, 1);
}

} // namespace

// Tab and Shift+Tab take the same round through the page, the buttons (a disabled Apply
// left out) and the tabs, in opposite directions; Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page
// Down and Ctrl+Page Up switch the tabs from anywhere, wrapping, and leave the focus on them.
TEST_F(TaskPropertyDlgTest, KeyboardRoundsAndTabSwitching) {
    const struct {
        Key key;
        const char* focus;
        int tab;
    } steps[] = {
        {kOpen, "Name", 0},     {kTab, "Description", 0},  {kTab, "Status", 0},  {kTab, "Notes", 0},
        {kTab, "-", 0},         {kTab, "+", 0},            {kTab, "Action", 0},  {kTab, "Defer", 0},
        {kTab, "OK", 0},        {kTab, "Cancel", 0},       {kTab, "tabs", 0},    {kTab, "Name", 0},
        {kBack, "tabs", 0},     {kBack, "Cancel", 0},      {kBack, "OK", 0},     {kBack, "Defer", 0},
        {kBack, "Action", 0},   {kBack, "+", 0},           {kBack, "-", 0},      {kBack, "Notes", 0},
        {kBack, "Status", 0},   {kBack, "Description", 0}, {kNext, "tabs", 1},   {kTab, "Tool", 1},
        {kPrevious, "tabs", 0}, {kPrevious, "tabs", 2},    {kNext, "tabs", 0},   {kTab, "Name", 0},
        {kPageUp, "tabs", 2},   {kPageUp, "tabs", 1},      {kPageDown, "tabs", 2}, {kPageDown, "tabs", 0},
    };
    SetTasks({MakeTask(1, kCategoryManual, 0, L"one"), MakeTask(2, kCategoryManual, 0, L"two"),
              MakeTask(3, kCategoryManual, 0, L"three")});
    Presses run;
    std::vector<std::string> expected;
    for (const auto& step : steps) {
        run.keys.push_back(step.key);
        expected.push_back(std::string(step.key.name) + ": " + step.focus + " " + std::to_string(step.tab));
    }
    presses = &run;
    Run(2, L"Task Properties - Manual Task", [&](HWND dialog) {
        run.dialog = dialog;
        ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &PressNext);
    });
    Hold(false, false);
    presses = nullptr;
    EXPECT_EQ(expected, run.seen);
}
