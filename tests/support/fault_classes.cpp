#include "support/fault_classes.h"

#include "support/fault_plan.h"
#include "support/registry_helpers.h"

namespace fault {
namespace {

class OverrideFactory final : public IClassFactory {
public:
    OverrideFactory(std::wstring creationCall, ClassOverride::Creator create)
        : creationCall_(std::move(creationCall)), create_(std::move(create)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (FaultPlan::Get().ShouldFail(creationCall_)) return kInjectedFailure;
        return create_(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }

private:
    std::wstring creationCall_;
    ClassOverride::Creator create_;
    LONG refs_ = 1;
};

} // namespace

ClassOverride::ClassOverride(REFCLSID clsid, DWORD context, std::wstring creationCall, Creator create) {
    auto* factory = new OverrideFactory(std::move(creationCall), std::move(create));
    registration_ = CoRegisterClassObject(clsid, factory, context, REGCLS_MULTIPLEUSE, &cookie_);
    factory->Release();  // COM holds it while registered
}

ClassOverride::~ClassOverride() {
    if (SUCCEEDED(registration_)) CoRevokeClassObject(cookie_);
}

winkit::ComPtr<IClassFactory> PartnerClassObject(const wchar_t* dllName, REFCLSID clsid) {
    // Kept loaded for the life of the process: objects of it may outlive any one test.
    HMODULE module = LoadLibraryW((ProgramFolder() + dllName).c_str());
    if (!module) return {};
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    winkit::ComPtr<IClassFactory> factory;
    if (!get || FAILED(get(clsid, IID_IClassFactory, factory.put_void()))) return {};
    return factory;
}

} // namespace fault
