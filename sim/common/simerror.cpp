#include "simerror.h"

#include <cstdarg>
#include "diagnostics/hresulttext.h"
#include "diagnostics/wideformat.h"

namespace sim {

void Raise(bool keepCause, HRESULT hr, const wchar_t* format, ...) {
    if (!keepCause) SetErrorInfo(0, nullptr);
    QRComException error;
    if (keepCause) error.SetResult(hr);
    va_list args;
    va_start(args, format);
    error.RecordError(nullptr, hr, format, args);
    va_end(args);
    error.result = hr;
    throw error;
}

void FailWin32(DWORD code, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatWideV(format, args);
    va_end(args);
    HRESULT hr = HRESULT_FROM_WIN32(code);
    Fail(hr, L"%ls: %ls", text.c_str(), HResultMessage(hr).c_str());
}

void RethrowWithContext(QRComException& caught, const wchar_t* format, ...) {
    QRComException error;
    error.Catch(QR_HERE, caught);
    va_list args;
    va_start(args, format);
    error.RecordError(nullptr, 0, format, args);
    va_end(args);
    throw error;
}

} // namespace sim
