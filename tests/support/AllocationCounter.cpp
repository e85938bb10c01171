#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every form of the global allocation functions is replaced, so that all of
// them allocate with malloc and free with free, counted or not; a sanitizer
// build would otherwise see its own allocations freed by ours.
namespace
{
std::atomic<std::size_t> allocations{0};

void* allocate(std::size_t size, std::size_t alignment = 0)
{
    ++allocations;
    size = size != 0 ? size : 1;
    void* memory = alignment > alignof(std::max_align_t)
                       ? std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment)
                       : std::malloc(size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}

void* allocateOrNull(std::size_t size, std::size_t alignment = 0) noexcept
{
    try
    {
        return allocate(size, alignment);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}
} // namespace

std::size_t allocationCount()
{
    return allocations.load();
}

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, std::align_val_t a) { return allocate(n, static_cast<std::size_t>(a)); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocate(n, static_cast<std::size_t>(a)); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return allocateOrNull(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return allocateOrNull(n); }
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocateOrNull(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept
{
    return allocateOrNull(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
