#include "com_error.h"

#include "com_ptr.h"

namespace winkit {

void ThrowComError(HRESULT hr, IUnknown* object, REFIID iid) {
    IErrorInfo* info = nullptr;
    if (object) {
        ComPtr<ISupportErrorInfo> support;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.put_void())) && support &&
            support->InterfaceSupportsErrorInfo(iid) == S_OK) {
            if (::GetErrorInfo(0, &info) != S_OK) info = nullptr;
        }
    }
    throw _com_error(hr, info, false);  // adopts the reference
}

} // namespace winkit
