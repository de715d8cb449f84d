// The classes of simoldadapter.dll.
#include "res/simoldadapter_resource.h"
#include "simoldclientservices.h"
#include "winkit/dll_module.h"

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRSimOldClientServices, IDR_SIMOLDCLIENTSERVICES, &sim::SimOldClientServices::Create,
     L"CLSID_QRSimOldClientServices"},
};

} // namespace

const winkit::DllDescription winkit::kThisDll{&LIBID_QRSimOldAdapterLib, kClasses, std::size(kClasses)};
