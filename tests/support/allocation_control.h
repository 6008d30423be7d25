#pragma once

// Watches the allocations made through operator new on the calling thread:
// counts them, or refuses the large ones. Only test programs that link the
// allocation-control object have these; the program itself never does.

#include <cstddef>

namespace plexor::test {

// Counts the allocations of this thread while it lives.
class AllocationCount {
public:
    AllocationCount();
    ~AllocationCount();
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;
    long seen() const;
};

// While it lives, allocations of at least `bytes` on this thread throw
// std::bad_alloc, once `letThrough` of them have been granted.
class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes, int letThrough = 0);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
    // How many allocations were refused.
    int refused() const;
};

} // namespace plexor::test
