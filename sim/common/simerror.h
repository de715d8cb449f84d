#pragma once
// Raising failures in the partner components: each one becomes a QRComException whose
// description is a QRError document, which the COM method's handlers publish.
#include <windows.h>
#include "diagnostics/qrcomexception.h"

namespace sim {

// Throws a QRComException with `hr` and a description made from the format. The thread's
// error information is cleared first: the failure starts here, and whatever an earlier,
// unrelated call left on the thread must not be carried along with it.
[[noreturn]] void Fail(HRESULT hr, const wchar_t* format, ...);

// Throws for a failed call to another component or the system, keeping the error
// information that call left and adding the format's text in front of it.
[[noreturn]] void FailWithCause(HRESULT hr, const wchar_t* format, ...);

// Fail(HRESULT_FROM_WIN32(error), "<text>: <system message>").
[[noreturn]] void FailWin32(DWORD error, const wchar_t* format, ...);

// Takes a caught failure, puts the format's text in front of its description and throws it on.
[[noreturn]] void RethrowWithContext(QRComException& caught, const wchar_t* format, ...);

} // namespace sim
