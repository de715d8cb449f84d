// The class table and registry values of simselectkb.dll.
#include "simmodule.h"

#include "res/resource.h"
#include "simselectkbdlg.h"

namespace sim {

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimSelectKBDlg, IDR_SIMSELECTKBDLG, &SimSelectKBDlg::Create},
};

} // namespace

void InitializeComponentModule(HINSTANCE instance) {
    winkit::ComModule::Get().Init(instance, kClasses, std::size(kClasses), LIBID_QRSimSelectKBLib);
}

winkit::RegistryReplacements ComponentRegistryReplacements() {
    return {{L"CLSID_QRSimSelectKBDlg", winkit::GuidToString(CLSID_QRSimSelectKBDlg)}};
}

} // namespace sim
