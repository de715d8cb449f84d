#include "qrcomexception.h"

#include <new>
#include "tracesink.h"
#include "wideformat.h"

void QRComException::SetActivity(const wchar_t* text) {
    activity = text;
    if (text) TraceSink::Instance().Write(traceLevel, L'.', text);
}

void QRComException::CheckPointer(const void* pointer, const wchar_t* format, ...) {
    if (pointer) return;
    if (!format && methodName) CheckPointer(pointer, L"Invalid pointer passed to method %ls", methodName);
    errorInfo.reset();
    SetErrorInfo(0, nullptr);
    result = E_POINTER;
    va_list args;
    va_start(args, format);
    RecordPointerError(E_POINTER, format, args);
    va_end(args);
    throw QRComException(*this);
}

namespace {

// Ends a variable argument list however the function that started it is left.
struct ArgumentsEnd {
    va_list& args;
    ~ArgumentsEnd() { va_end(args); }
};

} // namespace

// The one body of the recording operations: records the message (and, where the step
// says so, the HRESULT) and sets the result; the throwing operations then throw.
void QRComException::RecordStep(Step step, const SourceLocation* where, HRESULT hr, const wchar_t* format,
                                va_list args) {
    if (step == Step::RethrowUnnamed && !format && !methodName && !activity) {
        Normalize();
        return;
    }
    const bool keepsResult = step == Step::Rethrow || step == Step::RethrowUnnamed || step == Step::Add;
    RecordError(where, keepsResult ? 0 : hr, format, args);
    if (!keepsResult) result = hr;
}

#define QR_RECORD_STEP(step, where, hr, format) \
    va_list args;                               \
    va_start(args, format);                     \
    ArgumentsEnd end{args};                     \
    RecordStep(step, where, hr, format, args)

void QRComException::Throw(SourceLocation where, HRESULT hr, const wchar_t* format, ...) {
    QR_RECORD_STEP(Step::Throw, &where, hr, format);
    throw QRComException(*this);
}

void QRComException::Throw(HRESULT hr, const wchar_t* format, ...) {
    QR_RECORD_STEP(Step::Throw, nullptr, hr, format);
    throw QRComException(*this);
}

void QRComException::Rethrow(SourceLocation where, const wchar_t* format, ...) {
    QR_RECORD_STEP(Step::Rethrow, &where, 0, format);
    throw QRComException(*this);
}

void QRComException::Rethrow(const wchar_t* format, ...) {
    QR_RECORD_STEP(Step::RethrowUnnamed, nullptr, 0, format);
    throw QRComException(*this);
}

void QRComException::SetError(SourceLocation where, HRESULT hr, const wchar_t* format, ...) {
    QR_RECORD_STEP(Step::Set, &where, hr, format);
}

void QRComException::SetError(HRESULT hr, const wchar_t* format, ...) { QR_RECORD_STEP(Step::Set, nullptr, hr, format); }

void QRComException::AddError(const wchar_t* format, ...) { QR_RECORD_STEP(Step::Add, nullptr, 0, format); }

#undef QR_RECORD_STEP

void QRComException::Catch(SourceLocation where, QRComException& caught) {
    if (errorInfo && caught.errorInfo == errorInfo) {
        TraceSink::Instance().WriteLocation(where.file, where.line, L"~~~~ Caught QRComException ~~~~");
        return;
    }
    errorInfo = std::move(caught.errorInfo);
    result = caught.result;
    caught.result = S_OK;
    if (methodName || activity) AddError();
}

void QRComException::Catch(SourceLocation where, _com_error& caught) {
    QRComException xhr;
    // ErrorInfo() hands over a reference of its own.
    if (auto info = winkit::ComPtr<IErrorInfo>::Attach(caught.ErrorInfo())) SetErrorInfo(0, info.get());
    xhr.SetError(where, caught.Error(), nullptr);
    Catch(where, xhr);
}

void QRComException::CatchAll(SourceLocation where) {
    TraceSink::Instance().WriteLocation(where.file, where.line, L"!!!! Unhandled Exception !!!!");
    throw;
}

void QRComException::FallBackToOutOfMemory() noexcept {
    errorInfo.reset();
    SetErrorInfo(0, nullptr);
    result = E_OUTOFMEMORY;
}

void QRComException::CatchAtBoundary(SourceLocation where, QRComException& caught) noexcept {
    try {
        Catch(where, caught);
    } catch (...) {
        FallBackToOutOfMemory();
    }
}

void QRComException::CatchAtBoundary(SourceLocation where, _com_error& caught) noexcept {
    try {
        Catch(where, caught);
    } catch (...) {
        FallBackToOutOfMemory();
    }
}

void QRComException::CatchAllAtBoundary(SourceLocation where) noexcept {
    try {
        TraceSink::Instance().WriteLocation(where.file, where.line, L"!!!! Unhandled Exception !!!!");
        try {
            throw;
        } catch (const std::bad_alloc&) {
            SetError(E_OUTOFMEMORY, L"Out of memory");
        } catch (const std::exception& e) {
            SetError(E_UNEXPECTED, L"Unexpected exception: %hs", e.what());
        } catch (...) {
            SetError(E_UNEXPECTED, L"Unexpected exception");
        }
    } catch (...) {
        // Recording itself ran out of memory: the code alone must do.
        FallBackToOutOfMemory();
    }
}

