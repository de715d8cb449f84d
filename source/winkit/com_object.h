#pragma once
// IUnknown for COM classes, stand-alone or aggregated.
//
// A class derives from its interfaces and from ComObjectRoot, lists its interfaces
// in a static QITAB (QITABENT rows, then {}), and puts WINKIT_IUNKNOWN_IMPL in its body.
// Instances are made by CreateComInstance<T>: each holds a module lock for its life.
// Aggregated, every interface but the inner IUnknown delegates to the outer object.
#include <windows.h>
#include <shlwapi.h>
#include <new>
#include "module_lock.h"

namespace winkit {

class ComObjectRoot {
public:
    ComObjectRoot(const ComObjectRoot&) = delete;
    ComObjectRoot& operator=(const ComObjectRoot&) = delete;

protected:
    ComObjectRoot() noexcept : inner_(this) { ModuleLock::Lock(); }
    virtual ~ComObjectRoot() { ModuleLock::Unlock(); }

    ULONG InternalAddRef() noexcept { return InterlockedIncrement(&refs_); }
    ULONG InternalRelease() noexcept {
        ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }
    HRESULT InternalQueryInterface(const QITAB* table, REFIID iid, void** out) noexcept {
        if (!out) return E_POINTER;
        // The controlling unknown of an aggregated object is the inner one.
        if (outer_ && iid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(&inner_);
            inner_.AddRef();
            return S_OK;
        }
        return QISearch(QiBase(), table, iid, out);
    }
    // Object address that the QITAB offsets are taken from.
    virtual void* QiBase() noexcept = 0;
    virtual HRESULT QiTable(REFIID iid, void** out) noexcept = 0;

    IUnknown* Outer() const noexcept { return outer_; }

private:
    template <class T> friend HRESULT CreateComInstance(IUnknown*, REFIID, void**);
    template <class T> friend class ComInstanceFactory;

    // The non-delegating unknown handed to an aggregating outer object.
    class InnerUnknown final : public IUnknown {
    public:
        explicit InnerUnknown(ComObjectRoot* owner) noexcept : owner_(owner) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
            if (!out) return E_POINTER;
            if (iid == IID_IUnknown) {
                *out = static_cast<IUnknown*>(this);
                AddRef();
                return S_OK;
            }
            return owner_->QiTable(iid, out);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return owner_->InternalAddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return owner_->InternalRelease(); }

    private:
        ComObjectRoot* owner_;
    };

protected:
    IUnknown* outer_ = nullptr;
    InnerUnknown inner_;
    LONG refs_ = 0;
};

// Makes a T (default-constructible, derived from ComObjectRoot) and returns the
// requested interface. With an outer object only IID_IUnknown may be asked for.
template <class T>
HRESULT CreateComInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    T* object = new (std::nothrow) T();
    if (!object) return E_OUTOFMEMORY;
    object->outer_ = outer;
    // Hold the object while asking, so that a refused interface destroys it.
    object->InternalAddRef();
    HRESULT hr = outer ? object->inner_.QueryInterface(iid, out) : object->QiTable(iid, out);
    object->InternalRelease();
    return hr;
}

} // namespace winkit

// IUnknown of a class derived from ComObjectRoot; QITAB_NAME is its static table.
#define WINKIT_IUNKNOWN_IMPL(QITAB_NAME)                                                   \
public:                                                                                  \
    void* QiBase() noexcept override { return this; }                                    \
    HRESULT QiTable(REFIID iid, void** out) noexcept override {                          \
        return InternalQueryInterface(QITAB_NAME, iid, out);                             \
    }                                                                                    \
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {                       \
        return outer_ ? outer_->QueryInterface(iid, out) : QiTable(iid, out);            \
    }                                                                                    \
    STDMETHODIMP_(ULONG) AddRef() override { return outer_ ? outer_->AddRef() : InternalAddRef(); } \
    STDMETHODIMP_(ULONG) Release() override { return outer_ ? outer_->Release() : InternalRelease(); }
