// The exported entry points of a partner component DLL. Each component supplies its
// class table and registry values in its own module.cpp.
#include <windows.h>
#include "simmodule.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        sim::InitializeComponentModule(instance);
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

STDAPI DllRegisterServer() { return winkit::ComModule::Get().RegisterServer(sim::ComponentRegistryReplacements()); }

STDAPI DllUnregisterServer() { return winkit::ComModule::Get().UnregisterServer(sim::ComponentRegistryReplacements()); }
