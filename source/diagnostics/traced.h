#pragma once
// The traced COM method written once: the scope `xhr` named `name` at `level`, the work
// in one try block, the boundary's handlers, and the scope's result. A method that runs
// without a trace line of its own passes a null name.
//
//     STDMETHODIMP Widget::Frob(long value) {
//         return Traced(L"Widget::Frob", 1, [&](QRComException& xhr) { Frobnicate(xhr, value); });
//     }
#include "qrcomexception.h"

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
