#include "support/allocation_failure.h"

#include <windows.h>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
DWORD armedThread = 0;
size_t refusedSize = 0;
int refused = 0;

void* Allocate(size_t size) noexcept {
    if (armed.load(std::memory_order_relaxed) && GetCurrentThreadId() == armedThread &&
        (refusedSize == 0 || size == refusedSize))
        return ++refused, nullptr;
    return std::malloc(size ? size : 1);
}

} // namespace

AllocationFailure::AllocationFailure(size_t size) noexcept {
    refusedSize = size;
    refused = 0;
    armedThread = GetCurrentThreadId();
    armed = true;
}

AllocationFailure::~AllocationFailure() { armed = false; }

int AllocationFailure::Refused() const noexcept { return refused; }

// The program's allocation functions (they replace the runtime's for every test program
// that links this file): malloc, unless a rule refuses the allocation.
void* operator new(size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
