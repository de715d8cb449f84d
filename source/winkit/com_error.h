#pragma once
// Raising a failed HRESULT of a called interface as a COM error (_com_error), with the
// object's error information when the object says it supports it for that interface,
// as _com_issue_errorex does (MinGW declares that one but ships no definition).
#include <windows.h>
#include <oaidl.h>
#include <comdef.h>

namespace winkit {

[[noreturn]] void ThrowComError(HRESULT hr, IUnknown* object, REFIID iid);

// Raises only failures.
inline void CheckComResult(HRESULT hr, IUnknown* object, REFIID iid) {
    if (FAILED(hr)) ThrowComError(hr, object, iid);
}

} // namespace winkit
