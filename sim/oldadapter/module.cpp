// The class table and registry values of simoldadapter.dll.
#include "simmodule.h"

#include "res/resource.h"
#include "simoldclientservices.h"

namespace sim {

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimOldClientServices, IDR_SIMOLDCLIENTSERVICES, &SimOldClientServices::Create},
};

} // namespace

void InitializeComponentModule(HINSTANCE instance) {
    winkit::ComModule::Get().Init(instance, kClasses, std::size(kClasses), LIBID_QRSimOldAdapterLib);
}

winkit::RegistryReplacements ComponentRegistryReplacements() {
    return {{L"CLSID_QRSimOldClientServices", winkit::GuidToString(CLSID_QRSimOldClientServices)}};
}

} // namespace sim
