// The out-of-line piece of the COM support library that MinGW declares in <comdef.h>
// but does not define: raising a failure of an interface as a _com_error that carries
// the object's error information.
#include <comdef.h>

void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* object, REFIID iid) {
    IErrorInfo* info = nullptr;
    if (object) {
        ISupportErrorInfo* support = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support))) && support) {
            if (support->InterfaceSupportsErrorInfo(iid) == S_OK && GetErrorInfo(0, &info) != S_OK) info = nullptr;
            support->Release();
        }
    }
    // The exception adopts the reference that GetErrorInfo handed over.
    _com_raise_error(hr, info);
}
