#pragma once
// The in-process server module: its class table, cached class objects, lock count,
// registration through REGISTRY script resources and the embedded type library.
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <vector>
#include "class_factory.h"
#include "com_ptr.h"
#include "registrar.h"

namespace winkit {

struct ClassEntry {
    const CLSID* clsid;
    UINT registryResource;   // resource of type REGISTRY with the class's script
    CreatorFunction create;
    const wchar_t* clsidName;  // the %NAME% its script gives the class identifier
};

class ComModule {
public:
    static ComModule& Get() noexcept;

    void Init(HINSTANCE instance, const ClassEntry* table, size_t count, const GUID& libid) noexcept;
    void Term() noexcept;

    HINSTANCE Instance() const noexcept { return instance_; }
    const GUID& LibId() const noexcept { return libid_; }
    std::wstring ModulePath() const;

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept;
    HRESULT CanUnloadNow() const noexcept;

    // Runs every class's script in table order, then registers the type library. Besides
    // `extra` the scripts see MODULE, LIBID and each class's identifier under its clsidName.
    HRESULT RegisterServer(const RegistryReplacements& extra) noexcept;
    // Removes every class's entries by the same scripts and unregisters the type library.
    HRESULT UnregisterServer(const RegistryReplacements& extra) noexcept;

    // The module's type library (resource TYPELIB 1), loaded on first use and kept.
    HRESULT TypeLib(ITypeLib** out) noexcept;
    HRESULT TypeInfo(REFGUID guid, ITypeInfo** out) noexcept;

private:
    RegistryReplacements StandardReplacements(const RegistryReplacements& extra) const;

    HINSTANCE instance_ = nullptr;
    const ClassEntry* table_ = nullptr;
    size_t count_ = 0;
    GUID libid_ = {};
    std::vector<ComPtr<IClassFactory>> factories_;
    ComPtr<ITypeLib> typeLib_;
};

std::wstring GuidToString(REFGUID guid);

} // namespace winkit
