#pragma once
// The traced method written once: the scope `xhr` named `name` at `level`, the work in
// one try block, the handlers, and the scope's result. A method that runs without a
// trace line of its own passes a null name.
//
//     STDMETHODIMP Widget::Frob(long value) {
//         return Traced(L"Widget::Frob", 1, [&](QRComException& xhr) { Frobnicate(xhr, value); });
//     }
#include "qrcomexception.h"

// A COM method (or anything else no exception may leave).
template <class Work>
HRESULT Traced(const wchar_t* name, int level, Work&& work) noexcept {
    QRComException xhr;
    try {
        xhr.Enter(name, level);
        work(xhr);
    }
    QR_CATCH_COM(xhr)
    return xhr.Result();
}

// An internal operation, whose caller has handlers of its own: the same, but exceptions
// of other kinds are traced and passed on.
template <class Work>
HRESULT TracedOperation(const wchar_t* name, int level, Work&& work) {
    QRComException xhr;
    try {
        xhr.Enter(name, level);
        work(xhr);
    }
    QR_CATCH(xhr)
    return xhr.Result();
}
