#include "tests/support/allocation_control.h"

#include <cstdlib>
#include <new>

namespace {

thread_local bool tCounting = false;
thread_local long tAllocations = 0;
thread_local std::size_t tLimit = 0; // 0: no limit
thread_local int tLetThrough = 0;
thread_local int tRefused = 0;

void* allocate(std::size_t size)
{
    if (tCounting) ++tAllocations;
    if (tLimit != 0 && size >= tLimit) {
        if (tLetThrough == 0) {
            ++tRefused;
            throw std::bad_alloc();
        }
        --tLetThrough;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* allocateOrNull(std::size_t size) noexcept
{
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}
void* operator new[](std::size_t size)
{
    return allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateOrNull(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocateOrNull(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace plexor::test {

AllocationCount::AllocationCount()
{
    tAllocations = 0;
    tCounting = true;
}
AllocationCount::~AllocationCount()
{
    tCounting = false;
}
long AllocationCount::seen() const
{
    return tAllocations;
}

AllocationLimit::AllocationLimit(std::size_t bytes, int letThrough)
{
    tLimit = bytes;
    tLetThrough = letThrough;
    tRefused = 0;
}
AllocationLimit::~AllocationLimit()
{
    tLimit = 0;
}
int AllocationLimit::refused() const
{
    return tRefused;
}

} // namespace plexor::test
