// The entry points of every DLL of the project: DllMain sets the module up from the DLL's
// description, and the four exports answer from the module it made.
#include <windows.h>
#include "dll_module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        winkit::kThisDll.Initialize(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        winkit::ComModule::Get().Term();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return winkit::ComModule::Get().GetClassObject(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return winkit::ComModule::Get().CanUnloadNow(); }

STDAPI DllRegisterServer() { return winkit::ComModule::Get().RegisterServer(winkit::kThisDll.Texts()); }

STDAPI DllUnregisterServer() { return winkit::ComModule::Get().UnregisterServer(winkit::kThisDll.Texts()); }
