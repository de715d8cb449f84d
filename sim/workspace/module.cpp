// The class table and registry values of simworkspace.dll.
#include "simmodule.h"

#include "res/resource.h"
#include "simworkspace.h"

namespace sim {

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimWorkspace, IDR_SIMWORKSPACE, &SimWorkspace::Create},
};

} // namespace

void InitializeComponentModule(HINSTANCE instance) {
    winkit::ComModule::Get().Init(instance, kClasses, std::size(kClasses), LIBID_QRSimWorkspaceLib);
}

winkit::RegistryReplacements ComponentRegistryReplacements() {
    return {{L"CLSID_QRSimWorkspace", winkit::GuidToString(CLSID_QRSimWorkspace)}};
}

} // namespace sim
