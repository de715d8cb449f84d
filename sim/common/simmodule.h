#pragma once
// What each partner component DLL supplies to the shared entry points (dllexports.cpp).
#include "winkit/com_module.h"

namespace sim {

// Sets up the module's class table and type library over `instance`.
void InitializeComponentModule(HINSTANCE instance);
// The %NAME% values of the component's registry scripts.
winkit::RegistryReplacements ComponentRegistryReplacements();

} // namespace sim
