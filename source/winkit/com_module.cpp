#include "com_module.h"

#include "unique_bstr.h"

namespace winkit {

ComModule& ComModule::Get() noexcept {
    static ComModule module;
    return module;
}

std::wstring GuidToString(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

void ComModule::Init(HINSTANCE instance, const ClassEntry* table, size_t count, const GUID& libid) noexcept {
    instance_ = instance;
    table_ = table;
    count_ = count;
    libid_ = libid;
    factories_.clear();
    factories_.resize(count);
}

void ComModule::Term() noexcept {
    for (ComPtr<IClassFactory>& factory : factories_) factory.reset();
    typeLib_.reset();
}

std::wstring ComModule::ModulePath() const {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(instance_, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) { path.resize(n); return path; }
        path.resize(path.size() * 2);
    }
}

HRESULT ComModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count_; ++i) {
        if (*table_[i].clsid != clsid) continue;
        if (!factories_[i]) {
            auto made = ComPtr<IClassFactory>::Attach(new (std::nothrow) ClassFactory(table_[i].create));
            if (!made) return E_OUTOFMEMORY;
            // Another thread may have made one meanwhile: the first is kept.
            factories_[i].AdoptOnce(made);
        }
        return factories_[i]->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComModule::CanUnloadNow() const noexcept {
    return ModuleLock::Count() == 0 ? S_OK : S_FALSE;
}

RegistryReplacements ComModule::StandardReplacements(const RegistryReplacements& extra) const {
    RegistryReplacements all{{L"MODULE", ModulePath()}, {L"LIBID", GuidToString(libid_)}};
    for (size_t i = 0; i < count_; ++i) all.emplace_back(table_[i].clsidName, GuidToString(*table_[i].clsid));
    all.insert(all.end(), extra.begin(), extra.end());
    return all;
}

HRESULT ComModule::RegisterServer(const RegistryReplacements& extra) noexcept {
    try {
        Registrar registrar(StandardReplacements(extra));
        for (size_t i = 0; i < count_; ++i) {
            HRESULT hr = registrar.RegisterResource(instance_, table_[i].registryResource, true);
            if (FAILED(hr)) return hr;
        }
        ComPtr<ITypeLib> typeLib;
        std::wstring path = ModulePath();
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLib.put());
        if (FAILED(hr)) return hr;
        return RegisterTypeLib(typeLib.get(), path.data(), nullptr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ComModule::UnregisterServer(const RegistryReplacements& extra) noexcept {
    try {
        // Everything that can be removed is; the first failure is reported.
        Registrar registrar(StandardReplacements(extra));
        HRESULT first = S_OK;
        for (size_t i = 0; i < count_; ++i) {
            HRESULT hr = registrar.RegisterResource(instance_, table_[i].registryResource, false);
            if (SUCCEEDED(first)) first = hr;
        }
        ComPtr<ITypeLib> typeLib;
        HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, typeLib.put());
        if (FAILED(hr)) return FAILED(first) ? first : hr;
        TLIBATTR* attr = nullptr;
        hr = typeLib->GetLibAttr(&attr);
        if (FAILED(hr)) return hr;
        // A type library that is not registered is already in the wanted state.
        UniqueBstr registeredPath;
        if (SUCCEEDED(QueryPathOfRegTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                                            registeredPath.put()))) {
            hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
        }
        typeLib->ReleaseTLibAttr(attr);
        return FAILED(first) ? first : hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ComModule::TypeLib(ITypeLib** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!typeLib_) {
        ComPtr<ITypeLib> loaded;
        HRESULT hr = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, loaded.put());
        if (FAILED(hr)) return hr;
        typeLib_.AdoptOnce(loaded);
    }
    return typeLib_.CopyTo(out);
}

HRESULT ComModule::TypeInfo(REFGUID guid, ITypeInfo** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    ComPtr<ITypeLib> typeLib;
    HRESULT hr = TypeLib(typeLib.put());
    if (FAILED(hr)) return hr;
    return typeLib->GetTypeInfoOfGuid(guid, out);
}

} // namespace winkit
