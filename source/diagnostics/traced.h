#pragma once
// The traced method written once: the scope `xhr` named `name` at `level`, the work in
// one try block, the handlers, and the scope's result. A method that runs without a
// trace line of its own passes a null name.
//
//     STDMETHODIMP Widget::Frob(long value) {
//         return Traced(L"Widget::Frob", 1, [&](QRComException& xhr) { Frobnicate(xhr, value); });
//     }
#include "qrcomexception.h"

namespace traced_detail {

template <bool AtBoundary, class Work>
HRESULT Run(const wchar_t* name, int level, Work&& work) noexcept(AtBoundary) {
    QRComException xhr;
    try {
        xhr.Enter(name, level);
        work(xhr);
    } catch (QRComException& caught) {
        if constexpr (AtBoundary) xhr.CatchAtBoundary(QR_HERE, caught);
        else xhr.Catch(QR_HERE, caught);
    } catch (_com_error& caught) {
        if constexpr (AtBoundary) xhr.CatchAtBoundary(QR_HERE, caught);
        else xhr.Catch(QR_HERE, caught);
    } catch (...) {
        if constexpr (AtBoundary) xhr.CatchAllAtBoundary(QR_HERE);
        else xhr.CatchAll(QR_HERE);
    }
    return xhr.Result();
}

} // namespace traced_detail

// A COM method (or anything else no exception may leave).
template <class Work>
HRESULT Traced(const wchar_t* name, int level, Work&& work) noexcept {
    return traced_detail::Run<true>(name, level, std::forward<Work>(work));
}

// An internal operation, whose caller has handlers of its own: the same, but exceptions
// of other kinds are traced and passed on.
template <class Work>
HRESULT TracedOperation(const wchar_t* name, int level, Work&& work) {
    return traced_detail::Run<false>(name, level, std::forward<Work>(work));
}
