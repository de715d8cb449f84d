#pragma once
// What every proxy of fault_proxies.h shares.
#include <type_traits>
#include "support/fake_com.h"
#include "support/fault_plan.h"

namespace fault {

LONG& LiveProxyCount();

// Counted; answers ISupportErrorInfo for all its interfaces, so that callers take the
// error information a failure leaves, and IDispatch for a dual first interface.
template <class First, class... Others>
class Proxy : public testcom::FakeComObject<First, Others..., ISupportErrorInfo> {
public:
    Proxy() { ++LiveProxyCount(); }
    ~Proxy() override { --LiveProxyCount(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

protected:
    void* QueryOther(REFIID iid) override {
        if constexpr (std::is_base_of_v<IDispatch, First> && !std::is_same_v<IDispatch, First>) {
            if (iid == IID_IDispatch) return static_cast<First*>(this);
        }
        return nullptr;
    }
};

inline void EmptyOut(VARIANT* value) {
    if (value) VariantInit(value);
}
template <class T>
void EmptyOut(T** out) {
    if (out) *out = nullptr;
}

// The call through the plan (FaultPlan::Pass); an armed call empties `outs`.
template <class Forward, class... Outs>
HRESULT Pass(const std::wstring& call, const std::wstring& logged, Forward forward, Outs... outs) {
    return FaultPlan::Get().Pass(call, logged, forward, [&] { (EmptyOut(outs), ...); });
}

// The type information and name lookups of IDispatch, forwarded.
#define FAULT_FORWARD_TYPE_INFO(inner)                                                                  \
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner->GetTypeInfoCount(n); }              \
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner->GetTypeInfo(i, l, t); } \
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override {            \
        return inner->GetIDsOfNames(r, n, c, l, d);                                                     \
    }

// The IDispatch half of a dual interface: nothing in the library calls it; forwarded.
#define FAULT_FORWARD_DISPATCH(inner)                                                                   \
    FAULT_FORWARD_TYPE_INFO(inner)                                                                      \
    STDMETHODIMP Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e, UINT* a) override { \
        return inner->Invoke(d, r, l, f, p, v, e, a);                                                   \
    }

} // namespace fault
