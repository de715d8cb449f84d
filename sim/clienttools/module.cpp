// The class table and registry values of simclienttools.dll.
#include "simmodule.h"

#include "res/resource.h"
#include "simglobals.h"
#include "simsettingsnode.h"

namespace sim {

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimGlobals, IDR_SIMGLOBALS, &SimGlobals::Create},
    {&CLSID_QRSimSettingsNode, IDR_SIMSETTINGSNODE, &SimSettingsNode::Create},
};

} // namespace

void InitializeComponentModule(HINSTANCE instance) {
    winkit::ComModule::Get().Init(instance, kClasses, std::size(kClasses), LIBID_QRSimClientToolsLib);
}

winkit::RegistryReplacements ComponentRegistryReplacements() {
    return {
        {L"CLSID_QRSimGlobals", winkit::GuidToString(CLSID_QRSimGlobals)},
        {L"CLSID_QRSimSettingsNode", winkit::GuidToString(CLSID_QRSimSettingsNode)},
    };
}

} // namespace sim
