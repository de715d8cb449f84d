// Pictures of the property dialog for the documentation. Disabled: they need a real
// display. Under Xvfb:
//   QRC_WINE_GRAPHICS=x11 QRC_SCREENSHOT_DIR=Z:\\tmp xvfb-run -a -s "-screen 0 1280x800x24" \
//     cmake/wine-run.sh build/bin/qrc_window_tests.exe --gtest_also_run_disabled_tests \
//     --gtest_filter='*Screenshot*'
// Each test writes the dialog's window, as the screen shows it, to a .bmp file there.
// Xvfb runs no window manager: as tools/screenshots/take-screenshots.sh does, let Wine
// draw its own frames first (X11 Driver values Decorated and Managed set to N in the
// x11 prefix) and install fonts-wine for Wine's own fonts.
#include <cstdlib>
#include <cstdio>
#include "taskpropertydlg_fixture.h"

using testing::_;

namespace {

const wchar_t kPumpDocument[] =
    L"<O X=\"1\" U=\"\" I=\"\" N=\"P-101\" C=\"Centrifugal Pump\">"
    L"\n  <A I=\"Design Flow\" V=\"120\" O=\"100\" U=\"m3/h\" S=\"1\" C=\"0\"/>"
    L"\n  <A I=\"Design Head\" V=\"55\" O=\"50\" U=\"m\" S=\"0\" C=\"0\"/>"
    L"\n  <A I=\"Material\" V=\"316 SS\" O=\"Carbon Steel\" U=\"\" S=\"1\" C=\"0\"/>"
    L"\n  <O X=\"2\" U=\"\" I=\"\" N=\"PM-101\" C=\"Motor\">"
    L"\n    <A I=\"Rated Power\" V=\"30\" O=\"22\" U=\"kW\" S=\"1\" C=\"0\"/>"
    L"\n    <A I=\"Voltage\" V=\"400\" O=\"400\" U=\"V\" S=\"0\" C=\"0\"/>"
    L"\n    <O X=\"3\" U=\"\" I=\"\" N=\"PM-101-B\" C=\"Bearing\">"
    L"\n      <A I=\"Type\" V=\"Roller\" O=\"Ball\" U=\"\" S=\"0\" C=\"0\"/>"
    L"\n    </O>"
    L"\n  </O>"
    L"\n  <O X=\"4\" U=\"\" I=\"\" N=\"PS-101\" C=\"Seal\">"
    L"\n    <A I=\"Arrangement\" V=\"Double\" O=\"Single\" U=\"\" S=\"0\" C=\"0\"/>"
    L"\n  </O>"
    L"\n</O>";

void PumpMessages(DWORD milliseconds) {
    MSG message;
    for (DWORD until = ::GetTickCount() + milliseconds; ::GetTickCount() < until;) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(20);
    }
}

void SaveWindowPicture(HWND window, const std::wstring& name) {
    const wchar_t* folder = _wgetenv(L"QRC_SCREENSHOT_DIR");
    ASSERT_TRUE(folder) << "QRC_SCREENSHOT_DIR is not set";
    ::SetForegroundWindow(window);
    ::SetActiveWindow(window);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    PumpMessages(1500);
    // With no window manager the dialog is never really activated: draw its caption so,
    // and give Wine time to bring what was drawn to the X server before copying it back.
    ::SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    PumpMessages(500);
    RECT r = {};
    ::GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB};
    void* bits = nullptr;
    HBITMAP picture = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, picture);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(memory, old);
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * height;
    const std::wstring path = std::wstring(folder) + L"\\" + name;
    if (FILE* out = _wfopen(path.c_str(), L"wb")) {
        fwrite(&file, sizeof file, 1, out);
        fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        fwrite(bits, 1, stride * height, out);
        fclose(out);
    } else {
        ADD_FAILURE() << "cannot write the picture";
    }
    ::DeleteObject(picture);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

TaskItem PumpTask(int index, int category) {
    TaskItem task = MakeTask(index, category, kStatusOpen, L"P-101");
    task.ToDo_Notes = L"Datasheet revision C received from the vendor.\r\nCheck the motor rating before running.";
    task.ToDo_Class = L"Centrifugal Pump";
    task.ToDo_SrcDocType = L"P&ID";
    task.ToDo_SrcDocName = L"PID-1001 Feed Pumps";
    return task;
}

} // namespace

TEST_F(TaskPropertyDlgTest, DISABLED_ScreenshotGeneralPage) {
    TaskItem manual = MakeTask(3, kCategoryManual, kStatusInProgress, L"Review pump datasheet");
    manual.ToDo_Description = L"Compare the vendor datasheet of P-101 with the process data sheet.";
    manual.ToDo_Notes = L"Vendor data received on 1 December.\r\nWaiting for the motor rating.";
    SetTasks({PumpTask(1, kCategoryUpdate), PumpTask(2, kCategoryClaim), manual});
    CTaskPropertyDlg dialog(owner, &tasks, 3);
    Run(dialog, L"Task Properties - Manual Task", [&](HWND window) {
        Type(dialog.GeneralPage().hwnd(), IDC_TASKGENERAL_NOTES, manual.ToDo_Notes.c_str());
        SaveWindowPicture(window, L"taskproperties-general.bmp");
        Click(window, IDCANCEL);
    });
}

TEST_F(TaskPropertyDlgTest, DISABLED_ScreenshotUpdatePage) {
    SetTasks({PumpTask(1, kCategoryUpdate), PumpTask(2, kCategoryClaim)});
    EXPECT_CALL(owner, FetchTaskAssignments(1, _)).WillRepeatedly([](int, winkit::UniqueBstr& out) {
        out = winkit::UniqueBstr::Copy(kPumpDocument);
    });
    CTaskPropertyDlg dialog(owner, &tasks, 1);
    Run(dialog, L"Task Properties - Update Task", [&](HWND window) {
        PickTab(window, 3);
        ItemPropertyList& list = dialog.CreatePage().List();
        list.ExpandAt(3);  // PM-101
        list.ExpandAt(6);  // its bearing
        list.ExpandAt(8);  // PS-101
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        ::SendMessageW(list.Handle(), LVM_SETITEMSTATE, 4, reinterpret_cast<LPARAM>(&item));
        SaveWindowPicture(window, L"taskproperties-update.bmp");
        Click(window, IDCANCEL);
    });
}
