#pragma once
// The library's module: its class table and registry replacement values.
#include "winkit/com_module.h"

void InitializeLibraryModule(HINSTANCE instance);
winkit::RegistryReplacements LibraryRegistryReplacements();
