#pragma once
// The method scope, the error state of a call and the exception, in one object.
//
// Every traced operation opens one as `xhr`, works in one try block, raises failures
// by throwing a copy of the scope, and ends with the handlers of QR_CATCH (internal
// operations) or QR_CATCH_COM (COM interface methods) and `return xhr.Result();`.
#include <windows.h>
#include <oleauto.h>
#include <comdef.h>
#include <cstdarg>
#include <string>
#include "sourcelocation.h"
#include "tracesink.h"
#include "winkit/com_ptr.h"

struct QRComException {
    HRESULT result = S_OK;
    winkit::ComPtr<IErrorInfo> errorInfo;  // its description is a QRError document
    int traceLevel = 0;
    const wchar_t* methodName = nullptr;  // not owned; "Class::Method"
    const wchar_t* activity = nullptr;    // not owned

    QRComException() noexcept = default;

    // Inline, with Result: they open and close every traced call.
    void Enter(const wchar_t* name, int level) {
        methodName = name;
        traceLevel = level;
        if (name) TraceSink::Instance().Write(level, L'>', name);
    }
    void SetActivity(const wchar_t* text);
    void CheckPointer(const void* pointer, const wchar_t* format = nullptr, ...);
    void SetResult(HRESULT hr) {
        result = hr;
        errorInfo.reset();
        if (FAILED(hr)) GetErrorInfo(0, errorInfo.put());
    }

    [[noreturn]] void Throw(SourceLocation where, HRESULT hr, const wchar_t* format = nullptr, ...);
    [[noreturn]] void Throw(HRESULT hr, const wchar_t* format = nullptr, ...);
    [[noreturn]] void Rethrow(SourceLocation where, const wchar_t* format = nullptr, ...);
    [[noreturn]] void Rethrow(const wchar_t* format = nullptr, ...);
    void SetError(SourceLocation where, HRESULT hr, const wchar_t* format = nullptr, ...);
    void SetError(HRESULT hr, const wchar_t* format = nullptr, ...);
    void AddError(const wchar_t* format = nullptr, ...);

    void Catch(SourceLocation where, QRComException& caught);
    void Catch(SourceLocation where, _com_error& caught);
    // Traces and rethrows the exception being handled.
    [[noreturn]] void CatchAll(SourceLocation where);

    // The handlers of the outermost scope of a COM method, where no exception may pass:
    // like Catch, and unable to throw. CatchAllAtBoundary traces like CatchAll, then
    // turns the exception into E_OUTOFMEMORY (std::bad_alloc) or E_UNEXPECTED with a
    // document. Whenever recording itself runs out of memory, the result is
    // E_OUTOFMEMORY with no document.
    void CatchAtBoundary(SourceLocation where, QRComException& caught) noexcept;
    void CatchAtBoundary(SourceLocation where, _com_error& caught) noexcept;
    void CatchAllAtBoundary(SourceLocation where) noexcept;

    HRESULT Normalize();
    HRESULT Result() {
        if (errorInfo) SetErrorInfo(0, errorInfo.get());
        return result;
    }

    // The error-recording steps behind the operations above.
    void RecordError(const SourceLocation* where, HRESULT hr, const wchar_t* format, va_list args);
    void RecordPointerError(HRESULT hr, const wchar_t* format, va_list args);
    std::wstring CurrentDescription();
    void ConvertHeldError(std::wstring* copy, HRESULT hr);
    void Publish(const std::wstring& document, const wchar_t* source, std::wstring* copy);

private:
    enum class Step { Throw, Rethrow, RethrowUnnamed, Set, Add };
    void RecordStep(Step step, const SourceLocation* where, HRESULT hr, const wchar_t* format, va_list args);
    void FallBackToOutOfMemory() noexcept;
};

// Handlers of an internal operation: other exceptions are traced and passed on.
#define QR_CATCH(xhr)                                                   \
    catch (QRComException & qr_caught_) { (xhr).Catch(QR_HERE, qr_caught_); } \
    catch (_com_error & qr_caught_) { (xhr).Catch(QR_HERE, qr_caught_); }     \
    catch (...) { (xhr).CatchAll(QR_HERE); }

// Handlers of a COM interface method: nothing leaves the method.
#define QR_CATCH_COM(xhr)                                                               \
    catch (QRComException & qr_caught_) { (xhr).CatchAtBoundary(QR_HERE, qr_caught_); } \
    catch (_com_error & qr_caught_) { (xhr).CatchAtBoundary(QR_HERE, qr_caught_); }     \
    catch (...) { (xhr).CatchAllAtBoundary(QR_HERE); }
