#include "module.h"

#include "clientservices.h"
#include "comidentifiers.h"
#include "qrctasklist.h"
#include "res/resource.h"
#include "winkit/dll_module.h"

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRCIGEFClientServices, IDR_CLIENTSERVICES, &CClientServices::Create, L"CLSID_QRCIGEFClientServices"},
    {&CLSID_QRCTaskList, IDR_QRCTASKLIST, &QRCTaskList::Create, L"CLSID_QRCTaskList"},
};

const winkit::RegistryText kRegistryTexts[] = {
    {L"ThreadingModel", L"Apartment"},
    {L"MajorVersion", L"380"},
    {L"MinorVersion", L"0"},
};

} // namespace

const winkit::DllDescription winkit::kThisDll{&LIBID_QRCIGEFrameworkSvcs, kClasses, std::size(kClasses), kRegistryTexts,
                                              std::size(kRegistryTexts)};

void InitializeLibraryModule(HINSTANCE instance) { winkit::kThisDll.Initialize(instance); }
