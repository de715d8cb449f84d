// The classes of simclienttools.dll.
#include "res/simclienttools_resource.h"
#include "simglobals.h"
#include "simsettingsnode.h"
#include "winkit/dll_module.h"

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimGlobals, IDR_SIMGLOBALS, &sim::SimGlobals::Create, L"CLSID_QRSimGlobals"},
    {&CLSID_QRSimSettingsNode, IDR_SIMSETTINGSNODE, &sim::SimSettingsNode::Create, L"CLSID_QRSimSettingsNode"},
};

} // namespace

const winkit::DllDescription winkit::kThisDll{&LIBID_QRSimClientToolsLib, kClasses, std::size(kClasses)};
