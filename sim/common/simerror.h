#pragma once
// Raising failures in the partner components: each one becomes a QRComException whose
// description is a QRError document, which the COM method's handlers publish.
#include <windows.h>
#include <string>
#include "diagnostics/qrcomexception.h"

namespace sim {

// Throws a QRComException with `hr` and a description made from the format. A failure
// that starts here (keepCause false) clears the thread's error information first: whatever
// an earlier, unrelated call left must not be carried along with it. A failure caused by
// a call to another component or the system (keepCause true) keeps the error information
// that call left and puts the format's text in front of it.
[[noreturn]] void Raise(bool keepCause, HRESULT hr, const wchar_t* format, ...);

template <class... Args>
[[noreturn]] void Fail(HRESULT hr, const wchar_t* format, Args... args) {
    Raise(false, hr, format, args...);
}

template <class... Args>
[[noreturn]] void FailWithCause(HRESULT hr, const wchar_t* format, Args... args) {
    Raise(true, hr, format, args...);
}

// Fail(HRESULT_FROM_WIN32(error), "<text>: <system message>").
[[noreturn]] void FailWin32(DWORD error, const wchar_t* format, ...);

// Takes a caught failure, puts the format's text in front of its description and throws it on.
[[noreturn]] void RethrowWithContext(QRComException& caught, const wchar_t* format, ...);

// Runs `work`; a failure it throws goes on with `context` in front of its description.
template <class Work>
void WithContext(const std::wstring& context, Work&& work) {
    try {
        work();
    } catch (QRComException& caught) {
        RethrowWithContext(caught, L"%ls", context.c_str());
    }
}

} // namespace sim
