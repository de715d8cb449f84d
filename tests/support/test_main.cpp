// Test programs run on a single-threaded apartment with the library's module set up.
#include <gmock/gmock.h>
#include <objbase.h>
#include <commctrl.h>
#include "module.h"

int main(int argc, char** argv) {
    testing::InitGoogleMock(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    InitializeLibraryModule(GetModuleHandleW(nullptr));
    int rc = RUN_ALL_TESTS();
    winkit::ComModule::Get().Term();
    CoUninitialize();
    return rc;
}
