#pragma once
// Counted COM interface pointer. Copying adds a reference, attaching does not.
#include <objbase.h>
#include <utility>

namespace winkit {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) noexcept : p_(p) { if (p_) p_->AddRef(); }
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        if (other.p_) other.p_->AddRef();
        reset(other.p_);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) reset(std::exchange(other.p_, nullptr));
        return *this;
    }

    // Adopts p without adding a reference.
    static ComPtr Attach(T* p) noexcept { ComPtr r; r.p_ = p; return r; }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Releases what is held and adopts p (no AddRef).
    void reset(T* p = nullptr) noexcept {
        T* old = std::exchange(p_, p);
        if (old) old->Release();
    }
    // Adopts the candidate's reference when nothing is held yet, atomically; otherwise the
    // candidate keeps it (and releases it at its end). For an object made once and shared
    // by threads that may race to make it. True when the candidate was adopted.
    bool AdoptOnce(ComPtr& candidate) noexcept {
        if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&p_), candidate.p_, nullptr) != nullptr)
            return false;
        candidate.p_ = nullptr;
        return true;
    }
    // Gives up ownership without releasing.
    [[nodiscard]] T* release() noexcept { return std::exchange(p_, nullptr); }
    // Releases what is held and returns the address for an out-parameter.
    T** put() noexcept { reset(); return &p_; }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // Hands a new reference to the caller's out-parameter.
    HRESULT CopyTo(T** out) const noexcept {
        if (!out) return E_POINTER;
        *out = p_;
        if (p_) p_->AddRef();
        return S_OK;
    }

    template <class U>
    HRESULT As(ComPtr<U>* out) const noexcept {
        if (!p_) { out->reset(); return E_NOINTERFACE; }
        return p_->QueryInterface(__uuidof(U), out->put_void());
    }
    HRESULT QueryTo(REFIID iid, void** out) const noexcept {
        if (!p_) { *out = nullptr; return E_NOINTERFACE; }
        return p_->QueryInterface(iid, out);
    }

private:
    T* p_ = nullptr;
};

template <class T, class U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) noexcept { return a.get() == b.get(); }
template <class T>
bool operator==(const ComPtr<T>& a, std::nullptr_t) noexcept { return !a; }
template <class T>
bool operator==(std::nullptr_t, const ComPtr<T>& a) noexcept { return !a; }
template <class T>
bool operator!=(const ComPtr<T>& a, std::nullptr_t) noexcept { return static_cast<bool>(a); }
template <class T>
bool operator!=(std::nullptr_t, const ComPtr<T>& a) noexcept { return static_cast<bool>(a); }

} // namespace winkit
