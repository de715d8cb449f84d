// The classes of simworkspace.dll.
#include "res/simworkspace_resource.h"
#include "simworkspace.h"
#include "winkit/dll_module.h"

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimWorkspace, IDR_SIMWORKSPACE, &sim::SimWorkspace::Create, L"CLSID_QRSimWorkspace"},
};

} // namespace

const winkit::DllDescription winkit::kThisDll{&LIBID_QRSimWorkspaceLib, kClasses, std::size(kClasses)};
