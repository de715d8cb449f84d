#pragma once
// Pieces every partner component shares: interface table rows that take their
// identifiers from __uuidof (the host interfaces' IID_ symbols live in the library),
// and ISupportErrorInfo for a fixed set of interfaces.
#include <windows.h>
#include <oaidl.h>
#include <shlwapi.h>
#include <initializer_list>

// A QITAB row for an interface whose IID is declared through __CRT_UUID_DECL.
#define SIM_QITABENT(Class, Iface) { &__uuidof(Iface), OFFSETOFCLASS(Iface, Class) }
// A QITAB row answering `iid` with the object's `Iface` part (IDispatch of a dual, for example).
#define SIM_QITABENTMULTI(Class, iid, Iface) { &(iid), OFFSETOFCLASS(Iface, Class) }

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

} // namespace sim
