#pragma once
// Pieces every partner component shares: interface table rows that take their
// identifiers from __uuidof (the host interfaces' IID_ symbols live in the library),
// ISupportErrorInfo for a fixed set of interfaces, and the traced method that hands a
// text back.
#include <windows.h>
#include <oaidl.h>
#include <shlwapi.h>
#include <initializer_list>
#include "diagnostics/traced.h"
#include "winkit/com_object.h"
#include "winkit/unique_bstr.h"

// A QITAB row for an interface whose IID is declared through __CRT_UUID_DECL.
#define SIM_QITABENT(Class, Iface) { &__uuidof(Iface), OFFSETOFCLASS(Iface, Class) }
// A QITAB row answering `iid` with the object's `Iface` part (IDispatch of a dual, for example).
#define SIM_QITABENTMULTI(Class, iid, Iface) { &(iid), OFFSETOFCLASS(Iface, Class) }
// The QITAB rows of a dual interface: itself, and IDispatch answered by it.
#define SIM_QITABDUAL(Class, Dual) SIM_QITABENT(Class, Dual), SIM_QITABENTMULTI(Class, IID_IDispatch, Dual)
// The interface table and Create of a class that is one dual interface with error information.
#define SIM_DUAL_CLASS(Class, Dual)                                              \
    const QITAB Class::kInterfaces[] = {                                         \
        SIM_QITABDUAL(Class, Dual), SIM_QITABENT(Class, ISupportErrorInfo), {}}; \
    HRESULT Class::Create(IUnknown* outer, REFIID iid, void** out) {             \
        return winkit::CreateComInstance<Class>(outer, iid, out);                \
    }

namespace sim {

// Answers S_OK for the interfaces that leave error information, S_FALSE for others.
template <class... Interfaces>
class SupportErrorInfoImpl : public ISupportErrorInfo {
public:
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
        for (const IID* known : {&__uuidof(Interfaces)...})
            if (*known == iid) return S_OK;
        return S_FALSE;
    }
};

// Traced(name, 1, ...) for a method whose work is to give `out` a text: `out` is checked
// and emptied before `produce` runs, so that it stays null when producing fails.
template <class Produce>
HRESULT TracedText(const wchar_t* name, BSTR* out, Produce&& produce) noexcept {
    return Traced(name, 1, [&](QRComException& xhr) {
        xhr.CheckPointer(out);
        *out = nullptr;
        *out = winkit::UniqueBstr::Copy(produce()).release();
    });
}

} // namespace sim
