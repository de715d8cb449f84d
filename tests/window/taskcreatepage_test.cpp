// The Create / Update page of the property dialog: the Item Properties tree driven with
// the list's own notifications, its drawing, and the document a save sends.
#include "qrxmlstringwriter.h"
#include "winkit/list_view.h"
#include "support/allocation_failure.h"
#include "taskpropertydlg_fixture.h"

using testing::_;

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

std::wstring Replaced(std::wstring text, const std::wstring& from, const std::wstring& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

int RowCount(HWND list) { return winkit::ListViewCtrl(list).ItemCount(); }
std::wstring RowText(HWND list, int row) { return winkit::ListViewCtrl(list).ItemText(row, 0); }
int RowImage(HWND list, int row) { return winkit::ListViewCtrl(list).ItemImage(row); }

// A point of a row, x pixels from the first column's left edge.
POINT InRow(HWND list, int row, int x) {
    RECT r = {};
    winkit::ListViewCtrl(list).ItemRect(row, r, LVIR_BOUNDS);
    return POINT{r.left + x, (r.top + r.bottom) / 2};
}

// The list tells its parent about a click as the user's mouse would make it.
void Notify(HWND list, UINT code, POINT at) {
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = list;
    note.hdr.idFrom = IDC_TASKCREATE_PROPERTIES;
    note.hdr.code = code;
    LVHITTESTINFO hit = {};
    hit.pt = at;
    note.iItem = static_cast<int>(::SendMessageW(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    note.iSubItem = hit.iSubItem;
    note.ptAction = at;
    ::SendMessageW(::GetParent(list), WM_NOTIFY, IDC_TASKCREATE_PROPERTIES, reinterpret_cast<LPARAM>(&note));
}

void Select(HWND list, int row) {
    winkit::ListViewCtrl(list).SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void PressKey(HWND list, WPARAM key) { ::SendMessageW(list, WM_KEYDOWN, key, 0); }

// A column's title and width; "-" when there is no such column.
std::wstring ColumnTitle(HWND list, int column, int* width) {
    std::wstring text;
    if (!winkit::ListViewCtrl(list).ColumnText(column, text)) return L"-";
    if (width) *width = winkit::ListViewCtrl(list).ColumnWidth(column);
    return text;
}

class TaskCreatePageTest : public TaskPropertyDlgTest {
protected:
    void ServeDocument(int index, const std::wstring& document) {
        EXPECT_CALL(owner, FetchTaskAssignments(index, _)).WillRepeatedly([document](int, winkit::UniqueBstr& out) {
            out = winkit::UniqueBstr::Copy(document);
        });
    }
    static HWND ListOf(HWND window) { return ::GetDlgItem(PageWith(window, IDC_TASKCREATE_PROPERTIES), IDC_TASKCREATE_PROPERTIES); }
};

} // namespace

TEST_F(TaskCreatePageTest, ExpandingAnObjectShowsItsRowsIndentedRightBelow) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101")});
    ServeDocument(1, kPumpDocument);
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        HWND list = ListOf(window);
        ASSERT_EQ(3, RowCount(list));
        EXPECT_EQ(L"Flow", RowText(list, 0));
        EXPECT_EQ(L"Head", RowText(list, 1));
        EXPECT_EQ(L"M-101 (Motor)", RowText(list, 2));
        EXPECT_EQ(0, RowImage(list, 0));
        EXPECT_EQ(1, RowImage(list, 1));
        EXPECT_EQ(2, RowImage(list, 2));
        EXPECT_EQ(L"P-101", Text(Details(window), IDC_TASKDETAILS_SOURCETAG));

        // The box area of a top row is [4, 24) from the first column's edge.
        for (int x : {3, 24}) {
            Notify(list, NM_CLICK, InRow(list, 2, x));
            EXPECT_EQ(3, RowCount(list)) << "click at " << x;
        }
        Notify(list, NM_CLICK, InRow(list, 2, 160));  // second column
        EXPECT_EQ(3, RowCount(list));
        Notify(list, NM_CLICK, InRow(list, 2, 4));
        ASSERT_EQ(5, RowCount(list));
        EXPECT_EQ(L"Power", RowText(list, 3));
        EXPECT_EQ(L"B-1 (Bearing)", RowText(list, 4));
        // A child object's box sits 16 pixels further in.
        Notify(list, NM_CLICK, InRow(list, 4, 23));
        ASSERT_EQ(6, RowCount(list));
        EXPECT_EQ(L"Load", RowText(list, 5));

        // Collapsing the outer object takes the inner rows along; expanding again
        // shows only its own rows, collapsed.
        Notify(list, NM_CLICK, InRow(list, 2, 23));
        EXPECT_EQ(3, RowCount(list));
        Notify(list, NM_CLICK, InRow(list, 2, 10));
        EXPECT_EQ(5, RowCount(list));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskCreatePageTest, KeypadPlusAndMinusWorkOnTheSelectedRow) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101")});
    ServeDocument(1, kPumpDocument);
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        HWND list = ListOf(window);
        PressKey(list, VK_ADD);  // nothing selected
        EXPECT_EQ(3, RowCount(list));
        Select(list, 2);
        PressKey(list, VK_ADD);
        EXPECT_EQ(5, RowCount(list));
        PressKey(list, VK_SUBTRACT);
        EXPECT_EQ(3, RowCount(list));
        Select(list, 0);
        PressKey(list, VK_ADD);  // a property does not expand
        EXPECT_EQ(3, RowCount(list));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskCreatePageTest, DoubleClickedFlagIsSavedWithTheTaskIndex) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101")});
    ServeDocument(1, kPumpDocument);
    const std::wstring expected =
        Replaced(Replaced(kPumpDocument, L"X=\"99\"", L"X=\"1\""), L"U=\"m3/h\" S=\"0\"", L"U=\"m3/h\" S=\"1\"");
    std::wstring saved;
    EXPECT_CALL(owner, SaveTaskProperties(_)).WillOnce([&](const TaskPropertyValues& v) { saved = v.assignments; });
    INT_PTR result = Run(1, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        HWND list = ListOf(window);
        Notify(list, NM_DBLCLK, InRow(list, 2, 200));  // an object: no flag
        EXPECT_EQ(2, RowImage(list, 2));
        EXPECT_FALSE(dialog->ChangedFlag());
        EXPECT_FALSE(Enabled(window, IDC_TASKPROPERTIES_APPLY));

        Notify(list, NM_DBLCLK, InRow(list, 0, 200));
        EXPECT_EQ(1, RowImage(list, 0));
        EXPECT_TRUE(dialog->ChangedFlag());
        EXPECT_TRUE(Enabled(window, IDC_TASKPROPERTIES_APPLY));
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Click(window, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(expected, saved);
    // What the owner saves after OK is the same document.
    EXPECT_EQ(expected, dialog->Values().assignments);
    EXPECT_TRUE(dialog->ChangedFlag());
}

TEST_F(TaskCreatePageTest, LayoutsChooseTheColumns) {
    SetTasks({MakeTask(1, kCategoryCreate, kStatusOpen, L"N"), MakeTask(2, kCategoryUpdate, kStatusOpen, L"U")});
    ServeDocument(1, kPumpDocument);
    ServeDocument(2, kPumpDocument);
    Run(1, L"Task Properties - Create Task", [&](HWND window) {
        HWND list = ListOf(window);
        RECT client = {};
        ::GetClientRect(list, &client);
        int width = 0;
        EXPECT_EQ(L"Name", ColumnTitle(list, 0, &width));
        EXPECT_EQ(150, width);
        EXPECT_EQ(L"Value", ColumnTitle(list, 1, &width));
        EXPECT_EQ(100, width);
        EXPECT_EQ(L"Units", ColumnTitle(list, 2, &width));
        EXPECT_EQ(client.right - 250, width);
        EXPECT_EQ(L"-", ColumnTitle(list, 3, nullptr));

        Click(window, IDC_TASKPROPERTIES_NEXT);
        const wchar_t* titles[] = {L"Name", L"New Value", L"Old Value", L"Units"};
        const int widths[] = {150, 100, 100, 50};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(titles[i], ColumnTitle(list, i, &width));
            EXPECT_EQ(widths[i], width);
        }
        EXPECT_EQ(3, RowCount(list));
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskCreatePageTest, RowsAreDrawnWithLinesBoxesAndImages) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101")});
    ServeDocument(1, kPumpDocument);
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        HWND page = PageWith(window, IDC_TASKCREATE_PROPERTIES);
        HWND list = ListOf(window);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -18, 1, 32, BI_RGB};
        void* bits = nullptr;
        winkit::UniqueHBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ old = ::SelectObject(dc, canvas.get());
        auto draw = [&](int row) {
            DRAWITEMSTRUCT item = {};
            item.CtlType = ODT_LISTVIEW;
            item.CtlID = IDC_TASKCREATE_PROPERTIES;
            item.itemID = static_cast<UINT>(row);
            item.hwndItem = list;
            item.hDC = dc;
            item.rcItem = RECT{0, 0, 400, 18};
            ::SendMessageW(page, WM_DRAWITEM, IDC_TASKCREATE_PROPERTIES, reinterpret_cast<LPARAM>(&item));
        };
        auto pixel = [&](int x, int y) { return ::GetPixel(dc, x, y) & 0xFFFFFF; };
        const COLORREF line = ItemPropertyList::kLineColor;
        const COLORREF window_ = ::GetSysColor(COLOR_WINDOW) & 0xFFFFFF;

        draw(2);  // M-101: a collapsed object in the middle of the top rows
        EXPECT_EQ(line, pixel(4, 9));   // the box's left edge
        EXPECT_EQ(line, pixel(6, 9));   // the sign's bar
        EXPECT_EQ(line, pixel(8, 7));   // plus: the upright too
        EXPECT_EQ(line, pixel(8, 1));   // joined to the row above
        EXPECT_EQ(line, pixel(15, 9));  // and on to the image
        EXPECT_NE(window_, pixel(26, 9));  // the object image at 18

        Select(list, 0);
        Notify(list, NM_CLICK, InRow(list, 2, 8));
        draw(2);
        EXPECT_EQ(window_, pixel(8, 7));  // minus: no upright
        EXPECT_EQ(line, pixel(8, 16));    // the line down to its rows

        draw(3);  // Power, level 1, with a sibling below
        EXPECT_EQ(line, pixel(8, 0));
        EXPECT_EQ(line, pixel(8, 17));
        EXPECT_EQ(line, pixel(20, 9));
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskCreatePageTest, UnreadableDocumentGoesBackAsItCame) {
    SetTasks({MakeTask(1, kCategoryCreate, kStatusOpen, L"N")});
    ServeDocument(1, L"<O N=\"cut short\">");
    EXPECT_CALL(owner, SaveTaskProperties(testing::Field(&TaskPropertyValues::assignments, L"<O N=\"cut short\">")));
    Run(1, L"Task Properties - Create Task", [&](HWND window) {
        EXPECT_EQ(0, RowCount(ListOf(window)));
        EXPECT_EQ(L"", Text(Details(window), IDC_TASKDETAILS_SOURCETAG));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"edited");
        Click(window, IDC_TASKPROPERTIES_APPLY);
        Click(window, IDCANCEL);
    });
}

// Without a writer the document cannot be rebuilt: OK still closes, and the document goes
// back as it was loaded.
TEST_F(TaskCreatePageTest, DocumentThatCannotBeRebuiltGoesBackAsLoaded) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101")});
    ServeDocument(1, kPumpDocument);
    int refused = 0;
    INT_PTR result = Run(1, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        HWND list = ListOf(window);
        Notify(list, NM_DBLCLK, InRow(list, 0, 200));  // a flag switched: the rebuilt document would differ
        AllocationFailure noWriter(sizeof(QRXMLStringWriter));
        Click(window, IDOK);
        refused = noWriter.Refused();
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, refused);
    EXPECT_EQ(kPumpDocument, dialog->Values().assignments);
}

TEST_F(TaskCreatePageTest, AssignmentsStayWithTheirTask) {
    SetTasks({MakeTask(1, kCategoryUpdate, kStatusOpen, L"P-101"), MakeTask(2, kCategoryClaim, kStatusOpen, L"C")});
    ServeDocument(1, kPumpDocument);
    EXPECT_CALL(owner, SaveTaskProperties(testing::Field(&TaskPropertyValues::index, 2)))
        .WillOnce([](const TaskPropertyValues& v) { EXPECT_EQ(L"", v.assignments); });
    Run(1, L"Task Properties - Update Task", [&](HWND window) {
        Click(window, IDC_TASKPROPERTIES_NEXT);
        EXPECT_EQ(L"", Text(Details(window), IDC_TASKDETAILS_SOURCETAG));
        EXPECT_EQ(0, RowCount(ListOf(window)));
        Type(General(window), IDC_TASKGENERAL_NOTES, L"claimed");
        Click(window, IDC_TASKPROPERTIES_APPLY);

        AnswerMessageBox(IDNO, nullptr);
        Click(window, IDC_TASKPROPERTIES_PREVIOUS);
        EXPECT_EQ(L"P-101", Text(Details(window), IDC_TASKDETAILS_SOURCETAG));
        EXPECT_EQ(3, RowCount(ListOf(window)));
        Click(window, IDCANCEL);
    });
}
