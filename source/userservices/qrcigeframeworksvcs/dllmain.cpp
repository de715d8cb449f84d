// The library's exported entry points.
#include <windows.h>
#include "module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        InitializeLibraryModule(instance);
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

STDAPI DllRegisterServer() { return winkit::ComModule::Get().RegisterServer(LibraryRegistryReplacements()); }

STDAPI DllUnregisterServer() { return winkit::ComModule::Get().UnregisterServer(LibraryRegistryReplacements()); }
