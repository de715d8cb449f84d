#pragma once
// Activation of the outside components redirected, for this process, to class objects
// that ask the fault plan before making anything (the creation is a call site too) and
// hand out proxies over the real components.
#include <functional>
#include <string>
#include "winkit/com_ptr.h"
#include <windows.h>
#include <unknwn.h>

namespace fault {

// Registers a class object for the class while it lives (CoRegisterClassObject,
// REGCLS_MULTIPLEUSE). CreateInstance asks the plan about `creationCall` first.
class ClassOverride {
public:
    using Creator = std::function<HRESULT(REFIID iid, void** out)>;
    ClassOverride(REFCLSID clsid, DWORD context, std::wstring creationCall, Creator create);
    ~ClassOverride();
    ClassOverride(const ClassOverride&) = delete;
    ClassOverride& operator=(const ClassOverride&) = delete;

    HRESULT registration() const { return registration_; }

private:
    DWORD cookie_ = 0;
    HRESULT registration_ = E_FAIL;
};

// The class object of a partner component DLL in the program's folder, loaded directly
// (not through the registry, which the overrides shadow). Null when it cannot be had.
winkit::ComPtr<IClassFactory> PartnerClassObject(const wchar_t* dllName, REFCLSID clsid);

} // namespace fault
