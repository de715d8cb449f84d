// The property dialog's keyboard through its own modal loop: each key is posted to the
// focused control as the platform's input delivers it (WM_KEYDOWN, with Shift and Ctrl in
// the thread's key state), the next once the loop has nothing left to do.
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

void Hold(bool shift, bool ctrl) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = ctrl ? 0x80 : 0;
    ::SetKeyboardState(state);
}

// The focused control: the dialog's own by name, a page's by the name of its field.
std::string Focused(HWND dialog) {
    static const struct {
        bool own;
        int id;
        const char* name;
    } kNames[] = {{true, IDC_TASKPROPERTIES_PREVIOUS, "-"}, {true, IDC_TASKPROPERTIES_NEXT, "+"},
                  {true, IDC_TASKPROPERTIES_ACTION, "Action"}, {true, IDC_TASKPROPERTIES_DEFER, "Defer"},
                  {true, IDOK, "OK"}, {true, IDCANCEL, "Cancel"}, {true, IDC_TASKPROPERTIES_APPLY, "Apply"},
                  {true, IDC_TASKPROPERTIES_TABS, "tabs"}, {false, IDC_TASKGENERAL_NAME, "Name"},
                  {false, IDC_TASKGENERAL_DESCRIPTION, "Description"}, {false, IDC_TASKGENERAL_STATUS, "Status"},
                  {false, IDC_TASKGENERAL_NOTES, "Notes"}, {false, IDC_TASKDETAILS_TOOL, "Engineering Tool"}};
    HWND focus = ::GetFocus();
    for (const auto& n : kNames)
        if (n.own == (::GetParent(focus) == dialog) && n.id == ::GetDlgCtrlID(focus)) return n.name;
    return "control " + std::to_string(::GetDlgCtrlID(focus));
}

// The keys pressed in turn from a thread timer, which the loop runs only when no key
// and nothing a key caused is left in the queue; "key: focus tab" after each.
struct Presses {
    HWND dialog = nullptr;
    std::vector<Key> keys;
    size_t pressed = 0;
    std::vector<std::string> seen;
};
Presses* presses = nullptr;

void CALLBACK PressNext(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!presses) return (void)::KillTimer(nullptr, timer);  // the watchdog ended the dialog
    Presses& p = *presses;
    const int tab = static_cast<int>(::SendDlgItemMessageW(p.dialog, IDC_TASKPROPERTIES_TABS, TCM_GETCURSEL, 0, 0));
    p.seen.push_back(std::string(p.keys[p.pressed].name) + ": " + Focused(p.dialog) + " " + std::to_string(tab));
    if (++p.pressed == p.keys.size()) {
        ::KillTimer(nullptr, timer);
        ::PostMessageW(p.dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    const Key& key = p.keys[p.pressed];
    Hold(key.shift, key.ctrl);
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, key.code, 1);
}

} // namespace

// Tab and Shift+Tab take the same round through the page, the buttons and the tabs, in
// opposite directions (disabled Apply left out); Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down
// and Ctrl+Page Up switch the tabs from anywhere, wrapping, and leave the focus on them.
TEST_F(TaskPropertyDlgTest, KeyboardRoundsAndTabSwitching) {
    const struct {
        Key key;
        const char* focus;
        int tab;
    } steps[] = {
        {kOpen, "Name", 0},         {kTab, "Description", 0},  {kTab, "Status", 0},     {kTab, "Notes", 0},
        {kTab, "-", 0},             {kTab, "+", 0},            {kTab, "Action", 0},     {kTab, "Defer", 0},
        {kTab, "OK", 0},            {kTab, "Cancel", 0},       {kTab, "tabs", 0},       {kTab, "Name", 0},
        {kBack, "tabs", 0},         {kBack, "Cancel", 0},      {kBack, "OK", 0},        {kBack, "Defer", 0},
        {kBack, "Action", 0},       {kBack, "+", 0},           {kBack, "-", 0},         {kBack, "Notes", 0},
        {kBack, "Status", 0},       {kBack, "Description", 0}, {kNext, "tabs", 1},      {kTab, "Engineering Tool", 1},
        {kPrevious, "tabs", 0},     {kPrevious, "tabs", 2},    {kNext, "tabs", 0},      {kTab, "Name", 0},
        {kPageUp, "tabs", 2},       {kPageUp, "tabs", 1},      {kPageDown, "tabs", 2},  {kPageDown, "tabs", 0},
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
