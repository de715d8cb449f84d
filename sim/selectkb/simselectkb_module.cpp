// The classes of simselectkb.dll.
#include "res/simselectkb_resource.h"
#include "simselectkbdlg.h"
#include "winkit/dll_module.h"

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimSelectKBDlg, IDR_SIMSELECTKBDLG, &sim::SimSelectKBDlg::Create, L"CLSID_QRSimSelectKBDlg"},
};

} // namespace

const winkit::DllDescription winkit::kThisDll{&LIBID_QRSimSelectKBLib, kClasses, std::size(kClasses)};
