#pragma once
// The library's module: its class table and registry texts (winkit::kThisDll), served by
// the entry points every DLL of the project shares.
#include "winkit/com_module.h"

// Sets the module up over `instance`: the DLL's entry point does it, and so do the
// programs that link the library's code (tests, benchmarks, the screenshot tool).
void InitializeLibraryModule(HINSTANCE instance);
