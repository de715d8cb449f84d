// The class table and registry values of simclienttools.dll.
#include "simmodule.h"

#include "res/resource.h"
#include "simglobals.h"
#include "simsettingsnode.h"

namespace sim {

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_SimGlobals, IDR_SIMGLOBALS, &SimGlobals::Create},
    {&CLSID_SimSettingsNode, IDR_SIMSETTINGSNODE, &SimSettingsNode::Create},
};

} // namespace

void InitializeComponentModule(HINSTANCE instance) {
    winkit::ComModule::Get().Init(instance, kClasses, std::size(kClasses), LIBID_QRSimClientToolsLib);
}

winkit::RegistryReplacements ComponentRegistryReplacements() {
    return {
        {L"CLSID_SimGlobals", winkit::GuidToString(CLSID_SimGlobals)},
        {L"CLSID_SimSettingsNode", winkit::GuidToString(CLSID_SimSettingsNode)},
    };
}

} // namespace sim
