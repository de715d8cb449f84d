#include "qrcomexception.h"

#include <new>
#include "tracesink.h"
#include "wideformat.h"

QRComException::QRComException(const QRComException& other) noexcept
    : result(other.result), errorInfo(other.errorInfo), traceLevel(other.traceLevel),
      methodName(other.methodName), activity(other.activity) {
    if (errorInfo) errorInfo->AddRef();
}

QRComException& QRComException::operator=(const QRComException& other) noexcept {
    if (this != &other) {
        if (other.errorInfo) other.errorInfo->AddRef();
        ReleaseErrorInfo();
        result = other.result;
        errorInfo = other.errorInfo;
        traceLevel = other.traceLevel;
        methodName = other.methodName;
        activity = other.activity;
    }
    return *this;
}

QRComException::~QRComException() { ReleaseErrorInfo(); }

void QRComException::ReleaseErrorInfo() noexcept {
    if (errorInfo) errorInfo->Release();
    errorInfo = nullptr;
}

void QRComException::Enter(const wchar_t* name, int level) {
    methodName = name;
    traceLevel = level;
    if (name) TraceSink::Instance().Write(level, L'>', name);
}

void QRComException::SetActivity(const wchar_t* text) {
    activity = text;
    if (text) TraceSink::Instance().Write(traceLevel, L'.', text);
}

void QRComException::SetResult(HRESULT hr) {
    result = hr;
    ReleaseErrorInfo();
    if (FAILED(hr)) GetErrorInfo(0, &errorInfo);
}

void QRComException::CheckPointer(const void* pointer, const wchar_t* format, ...) {
    if (pointer) return;
    if (!format && methodName) CheckPointer(pointer, L"Invalid pointer passed to method %ls", methodName);
    ReleaseErrorInfo();
    SetErrorInfo(0, nullptr);
    result = E_POINTER;
    va_list args;
    va_start(args, format);
    RecordPointerError(E_POINTER, format, args);
    va_end(args);
    throw QRComException(*this);
}

void QRComException::RecordErrorV(const SourceLocation* where, HRESULT hr, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(where, hr, format, args);
    va_end(args);
}

void QRComException::Throw(SourceLocation where, HRESULT hr, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(&where, hr, format, args);
    va_end(args);
    result = hr;
    throw QRComException(*this);
}

void QRComException::Throw(HRESULT hr, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(nullptr, hr, format, args);
    va_end(args);
    result = hr;
    throw QRComException(*this);
}

void QRComException::Rethrow(SourceLocation where, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(&where, 0, format, args);
    va_end(args);
    throw QRComException(*this);
}

void QRComException::Rethrow(const wchar_t* format, ...) {
    if (!format && !methodName && !activity) {
        Normalize();
        throw QRComException(*this);
    }
    va_list args;
    va_start(args, format);
    RecordError(nullptr, 0, format, args);
    va_end(args);
    throw QRComException(*this);
}

void QRComException::SetError(SourceLocation where, HRESULT hr, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(&where, hr, format, args);
    va_end(args);
    result = hr;
}

void QRComException::SetError(HRESULT hr, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(nullptr, hr, format, args);
    va_end(args);
    result = hr;
}

void QRComException::AddError(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    RecordError(nullptr, 0, format, args);
    va_end(args);
}

void QRComException::Catch(SourceLocation where, QRComException& caught) {
    if (errorInfo && caught.errorInfo == errorInfo) {
        TraceSink::Instance().WriteLocation(where.file, where.line, L"~~~~ Caught QRComException ~~~~");
        return;
    }
    ReleaseErrorInfo();
    errorInfo = caught.errorInfo;
    caught.errorInfo = nullptr;
    result = caught.result;
    caught.result = S_OK;
    if (methodName || activity) RecordErrorV(nullptr, 0, nullptr);
}

void QRComException::Catch(SourceLocation where, _com_error& caught) {
    QRComException xhr;
    if (IErrorInfo* info = caught.ErrorInfo()) {  // ErrorInfo() adds a reference
        SetErrorInfo(0, info);
        info->Release();
    }
    xhr.SetError(where, caught.Error(), nullptr);
    Catch(where, xhr);
}

void QRComException::CatchAll(SourceLocation where) {
    TraceSink::Instance().WriteLocation(where.file, where.line, L"!!!! Unhandled Exception !!!!");
    throw;
}

void QRComException::FallBackToOutOfMemory() noexcept {
    ReleaseErrorInfo();
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

HRESULT QRComException::Result() {
    if (errorInfo) SetErrorInfo(0, errorInfo);
    return result;
}
