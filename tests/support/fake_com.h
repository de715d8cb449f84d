#pragma once
// Test doubles that are real COM objects, counted while alive so that a test can prove
// the code under test released everything it was given.
#include "support/errorinfo_helpers.h"
#include <windows.h>
#include <oleauto.h>
#include <string>
#include "winkit/com_ptr.h"

namespace testcom {

inline LONG& LiveObjects() {  // fake objects alive in the process
    static LONG count = 0;
    return count;
}

template <class First, class... Others>
class FakeComObject : public First, public Others... {
public:
    FakeComObject() { ++LiveObjects(); }
    virtual ~FakeComObject() { --LiveObjects(); }
    FakeComObject(const FakeComObject&) = delete;
    FakeComObject& operator=(const FakeComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == __uuidof(First)) *out = static_cast<First*>(this);
        else (void)((iid == __uuidof(Others) && (*out = static_cast<Others*>(this))) || ...);
        if (!*out) *out = QueryOther(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = --refs_;
        if (n == 0) delete this;
        return n;
    }
    ULONG RefCount() const { return refs_; }

protected:
    // Identifiers answered beyond the base interfaces (an IDispatch base, a dispinterface);
    // the pointer returned is not yet counted.
    virtual void* QueryOther(REFIID) { return nullptr; }

private:
    ULONG refs_ = 1;
};

// Owns the test's one reference to a new fake; *fake works for EXPECT_CALL.
template <class T>
class Fake {
public:
    template <class... Args>
    explicit Fake(Args&&... args) : p_(new T(std::forward<Args>(args)...)) {}
    ~Fake() { reset(); }
    Fake(const Fake&) = delete;
    Fake& operator=(const Fake&) = delete;

    T& operator*() const { return *p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_;
};

// IDispatch of a fake whose dual interface is only called early-bound.
#define TESTCOM_NO_DISPATCH                                                                              \
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }                               \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }                  \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; } \
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { \
        return E_NOTIMPL;                                                                                \
    }

// An object that is a dispatch object and nothing else (not a workspace, a result).
class FakeDispatch : public FakeComObject<IDispatch> {
public:
    TESTCOM_NO_DISPATCH
};

// Hands out the one instance it was given, or fails with `failure`.
class FakeClassFactory : public FakeComObject<IClassFactory> {
public:
    explicit FakeClassFactory(IUnknown* instance) : instance_(instance) {}

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (FAILED(failure)) return failure;
        return instance_->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

    HRESULT failure = S_OK;

private:
    winkit::ComPtr<IUnknown> instance_;
};

// A class object registered for this process for the registration's life (COM holds
// a reference to it meanwhile).
class ClassRegistration {
public:
    ClassRegistration(REFCLSID clsid, IClassFactory* factory, DWORD context = CLSCTX_INPROC_SERVER) {
        result_ = CoRegisterClassObject(clsid, factory, context, REGCLS_MULTIPLEUSE, &cookie_);
    }
    ~ClassRegistration() {
        if (SUCCEEDED(result_)) CoRevokeClassObject(cookie_);
    }
    ClassRegistration(const ClassRegistration&) = delete;
    ClassRegistration& operator=(const ClassRegistration&) = delete;
    HRESULT result() const { return result_; }

private:
    DWORD cookie_ = 0;
    HRESULT result_ = E_FAIL;
};

} // namespace testcom
