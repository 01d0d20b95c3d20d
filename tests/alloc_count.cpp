#include "alloc_count.h"

#include <cstdlib>
#include <new>

namespace {
long allocations = 0;
long releases = 0;
}  // namespace

long alloc_count::arrayAllocations() { return allocations; }
long alloc_count::arrayReleases() { return releases; }

void* operator new[](std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void operator delete[](void* p) noexcept
{
    if (p) ++releases;
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept { operator delete[](p); }
