// The out-of-line piece of the COM support library that MinGW declares in <comdef.h>
// but does not define: raising a failure of an interface as a _com_error that carries
// the object's error information.
#include <comdef.h>
#include "winkit/com_ptr.h"

void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid) {
    winkit::ComPtr<IErrorInfo> info;
    winkit::ComPtr<ISupportErrorInfo> support;
    if (object && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.put_void())) && support &&
        support->InterfaceSupportsErrorInfo(iid) == S_OK && GetErrorInfo(0, info.put()) != S_OK)
        info.reset();
    // The exception adopts the reference that GetErrorInfo handed over.
    _com_raise_error(hr, info.release());
}
