// The Create / Update page of the property dialog.
#include "qrxmlstringwriter.h"
#include "winkit/list_view.h"
#include "support/allocation_failure.h"
#include "taskpropertydlg_fixture.h"

namespace {

// In the writer's own format, without the line feed it starts with.
const wchar_t kPumpDocument[] =
    L"<O X=\"99\" U=\"u-1\" I=\"i-1\" N=\"P-101\" C=\"Pump\">"
    L"\n  <A I=\"Flow\" V=\"10\" O=\"8\" U=\"m3/h\" S=\"0\" C=\"2\">"
    L"\n    <E I=\"1\" V=\"low\"/>"
    L"\n  </A>"
    L"\n  <A I=\"Head\" V=\"50\" O=\"45\" U=\"m\" S=\"1\" C=\"0\"/>"
    L"\n  <O X=\"12\" U=\"\" I=\"\" N=\"M-101\" C=\"Motor\">"
    L"\n    <A I=\"Power\" V=\"7.5\" O=\"5.5\" U=\"kW\" S=\"0\" C=\"0\"/>"
    L"\n    <O X=\"13\" U=\"\" I=\"\" N=\"B-1\" C=\"Bearing\">"
    L"\n      <A I=\"Load\" V=\"2\" O=\"\" U=\"kN\" S=\"0\" C=\"0\"/>"
    L"\n    </O>"
    L"\n  </O>"
    L"\n</O>";

// The rows' texts and pictures, "Flow:0 Head:1 M-101 (Motor):2".
std::wstring Rows(HWND list) {
    winkit::ListViewCtrl view(list);
    std::wstring rows;
    for (int row = 0; row < view.ItemCount(); ++row)
        rows += (row ? L" " : L"") + view.ItemText(row, 0) + L":" + std::to_wstring(view.ItemImage(row));
    return rows;
}

// The list tells its parent about a click as the user's mouse would make it, x pixels
// from the first column's left edge.
void Notify(HWND list, UINT code, int row, int x) {
    RECT r = {};
    winkit::ListViewCtrl(list).ItemRect(row, r, LVIR_BOUNDS);
    POINT at = {r.left + x, (r.top + r.bottom) / 2};
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = list;
    note.hdr.idFrom = IDC_TASKCREATE_PROPERTIES;
    note.hdr.code = code;
    note.iItem = row;
    note.ptAction = at;
    ::SendMessageW(::GetParent(list), WM_NOTIFY, IDC_TASKCREATE_PROPERTIES, reinterpret_cast<LPARAM>(&note));
}

// The columns as "title width", "|" between them.
std::wstring Columns(HWND list) {
    winkit::ListViewCtrl view(list);
    std::wstring columns, title;
    for (int i = 0; view.ColumnText(i, title); ++i)
        columns += (i ? L"|" : L"") + title + L" " + std::to_wstring(view.ColumnWidth(i));
    return columns;
}

class TaskCreatePageTest : public TaskPropertyDlgTest {
protected:
    void SetUp() override { owner.documents = {{1, kPumpDocument}, {2, kPumpDocument}}; }
    static HWND ListOf(HWND window) {
        return ::GetDlgItem(PageWith(window, IDC_TASKCREATE_PROPERTIES), IDC_TASKCREATE_PROPERTIES);
    }
};

} // namespace

// A Create task's columns, then an Update task's. The box area of a top row is [4, 24)
// from the first column's edge, a child object's 16 pixels further in; the keypad's + and
// - work on the selected row.
TEST_F(TaskCreatePageTest, LayoutsChooseTheColumnsObjectsExpandByTheirBoxAndTheKeypad) {
    SetTasks({MakeTask(1, kCategoryCreate, kStatusOpen, L"N"), MakeTask(2, kCategoryUpdate, kStatusOpen, L"P-101")});
    const wchar_t kTop[] = L"Flow:0 Head:1 M-101 (Motor):2", kMotor[] = L"Flow:0 Head:1 M-101 (Motor):2 Power:0 B-1 (Bearing):2";
    const struct {
        int row, x;  // a click at x; x < 0: the key -x pressed with the row selected (-1: none)
        std::wstring rows;
    } steps[] = {
        {2, 3, kTop}, {2, 24, kTop}, {2, 160, kTop},  // beside the box, the second column
        {2, 4, kMotor},
        {4, 23, std::wstring(kMotor) + L" Load:0"}, {2, 23, kTop},
        {-1, -VK_ADD, kTop}, {0, -VK_ADD, kTop}, {2, -VK_ADD, kMotor}, {2, -VK_SUBTRACT, kTop},
    };
    Run(1, L"Task Properties - Create Task", [&](HWND window) {
        HWND list = ListOf(window);
        RECT client = {};
        ::GetClientRect(list, &client);
        EXPECT_EQ(L"Name 150|Value 100|Units " + std::to_wstring(client.right - 250), Columns(list));
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"Name 150|New Value 100|Old Value 100|Units 50", Columns(list));
        PickTab(window, 3);
        EXPECT_EQ(kTop, Rows(list));
        for (const auto& step : steps) {
            if (step.x >= 0) {
                Notify(list, NM_CLICK, step.row, step.x);
            } else {
                winkit::ListViewCtrl(list).SetItemState(-1, 0, LVIS_SELECTED);
                if (step.row >= 0) winkit::ListViewCtrl(list).SetItemState(step.row, LVIS_SELECTED | LVIS_FOCUSED,
                                                                        LVIS_SELECTED | LVIS_FOCUSED);
                ::SendMessageW(list, WM_KEYDOWN, static_cast<WPARAM>(-step.x), 0);
            }
            EXPECT_EQ(step.rows, Rows(list)) << step.row << " " << step.x;
        }
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskCreatePageTest, DoubleClickedFlagIsSavedWithTheTaskIndexOrTheDocumentAsLoadedAndStaysWithItsTask) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101"), MakeTask(2, kCategoryClaim, kStatusOpen, L"C")});
    std::wstring expected = kPumpDocument;
    expected.replace(expected.find(L"X=\"99\""), 6, L"X=\"1\"");
    expected.replace(expected.find(L"m3/h\" S=\"0\""), 11, L"m3/h\" S=\"1\"");
    EXPECT_EQ(IDOK, Run(1, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        HWND list = ListOf(window);
        Notify(list, NM_DBLCLK, 2, 200);  // an object: no flag
        EXPECT_FALSE(dialog->ChangedFlag());
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Notify(list, NM_DBLCLK, 0, 200);
        EXPECT_EQ(L"Flow:1 Head:1 M-101 (Motor):2", Rows(list));
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Click(window, IDOK);
    }));
    EXPECT_EQ((std::vector<std::wstring>{L"Fetch 1", L"Save 1|P-101|This task will Update P-101|0|notes of P-101|" + expected}),
              owner.calls);
    EXPECT_EQ(expected, dialog->Values().assignments);
    EXPECT_TRUE(dialog->ChangedFlag());

    // A document that cannot be rebuilt (no writer) goes back as it was loaded; OK still closes.
    int refused = 0;
    EXPECT_EQ(IDOK, Run(1, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        Notify(ListOf(window), NM_DBLCLK, 0, 200);
        AllocationFailure noWriter(sizeof(QRXMLStringWriter));
        Click(window, IDOK);
        refused = noWriter.Refused();
    }));
    EXPECT_EQ(1, refused);
    EXPECT_EQ(kPumpDocument, dialog->Values().assignments);

    // The next task has no assignments: none are shown or saved with it.
    owner.calls.clear();
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"", Text(Details(window), IDC_TASKDETAILS_SOURCETAG));
        EXPECT_EQ(L"", Rows(ListOf(window)));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"claimed");
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);  // the unsaved flag: No
        EXPECT_EQ(L"P-101", Text(Details(window), IDC_TASKDETAILS_SOURCETAG));
        EXPECT_EQ(L"Flow:0 Head:1 M-101 (Motor):2", Rows(ListOf(window)));
        Click(window, IDCANCEL);
    }, {IDNO});
    EXPECT_EQ((std::vector<std::wstring>{L"Fetch 1", L"Save 2|C|This task will Claim C|0|claimed|", L"Fetch 1"}),
              owner.calls);
}
