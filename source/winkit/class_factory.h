#pragma once
// One class factory for every creatable class: a creator function makes the instances.
#include <windows.h>
#include <unknwn.h>
#include "module_lock.h"

namespace winkit {

using CreatorFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

// Lives as long as the module caches it; its own references do not lock the module
// (only LockServer does), so a cached factory never keeps DllCanUnloadNow from answering S_OK.
class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreatorFunction create) noexcept : create_(create) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        return create_(outer, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) ModuleLock::Lock(); else ModuleLock::Unlock();
        return S_OK;
    }

private:
    CreatorFunction create_;
    LONG refs_ = 1;
};

} // namespace winkit
