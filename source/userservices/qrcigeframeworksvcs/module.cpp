#include "module.h"

#include "clientservices.h"
#include "comidentifiers.h"
#include "qrctasklist.h"
#include "res/resource.h"

namespace {

const winkit::ClassEntry kClasses[] = {
    {&CLSID_QRCIGEFClientServices, IDR_CLIENTSERVICES, &CClientServices::Create},
    {&CLSID_QRCTaskList, IDR_QRCTASKLIST, &QRCTaskList::Create},
};

} // namespace

void InitializeLibraryModule(HINSTANCE instance) {
    winkit::ComModule::Get().Init(instance, kClasses, std::size(kClasses), LIBID_QRCIGEFrameworkSvcs);
}

winkit::RegistryReplacements LibraryRegistryReplacements() {
    return {
        {L"ThreadingModel", L"Apartment"},
        {L"MajorVersion", L"380"},
        {L"MinorVersion", L"0"},
        {L"CLSID_QRCIGEFClientServices", winkit::GuidToString(CLSID_QRCIGEFClientServices)},
        {L"CLSID_QRCTaskList", winkit::GuidToString(CLSID_QRCTaskList)},
    };
}
