#pragma once
// Makes operator new fail on the thread that armed it, while it lives: to see code
// survive running out of memory where nothing else can make it run out.
#include <cstddef>

class AllocationFailure {
public:
    // Refuses allocations of exactly `size` bytes; 0 refuses every allocation.
    explicit AllocationFailure(size_t size = 0) noexcept;
    ~AllocationFailure();
    AllocationFailure(const AllocationFailure&) = delete;
    AllocationFailure& operator=(const AllocationFailure&) = delete;

    int Refused() const noexcept;
};
