#pragma once
// IDispatch of a dual interface, served from the module's type library, and
// IProvideClassInfo2 for a coclass of that library.
#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include "com_module.h"
#include "com_ptr.h"
#include "script_arguments.h"

namespace winkit {

template <class DualInterface>
class DispatchImpl : public DualInterface {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return ComModule::Get().TypeInfo(__uuidof(DualInterface), out);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = ComModule::Get().TypeInfo(__uuidof(DualInterface), info.put());
        if (FAILED(hr)) return hr;
        return DispGetIDsOfNames(info.get(), names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = ComModule::Get().TypeInfo(__uuidof(DualInterface), info.put());
        if (FAILED(hr)) return hr;
        // Script variables passed to by-reference parameters need rebinding under Wine.
        ScriptReferenceBinding binding;
        params = binding.Bind(info.get(), id, flags, params);
        return info->Invoke(static_cast<DualInterface*>(this), id, flags, params, result, exception, argError);
    }
};

template <const CLSID* Coclass>
class ProvideClassInfo2Impl : public IProvideClassInfo2 {
public:
    STDMETHODIMP GetClassInfo(ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        return ComModule::Get().TypeInfo(*Coclass, out);
    }
    // The classes have no outgoing interface.
    STDMETHODIMP GetGUID(DWORD kind, GUID* out) override {
        if (!out) return E_POINTER;
        *out = GUID_NULL;
        return kind == GUIDKIND_DEFAULT_SOURCE_DISP_IID ? E_FAIL : E_INVALIDARG;
    }
};

} // namespace winkit
