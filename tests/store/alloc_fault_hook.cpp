// The program's operator new and delete over malloc and free, with the
// failure switch of alloc_fault.h.
#include "alloc_fault.h"

#include <stdlib.h>

#include <new>

namespace {
thread_local int t_failAt = 0;
thread_local int t_count = 0;

void* Allocate(size_t n)
{
    if (t_failAt > 0 && ++t_count == t_failAt)
        return nullptr;
    return malloc(n ? n : 1);
}
}

void AllocFault_Set(int k)
{
    t_count = 0;
    t_failAt = k;
}

int AllocFault_Count()
{
    return t_count;
}

void* operator new(size_t n)
{
    if (void* p = Allocate(n))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void* operator new(size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void* operator new[](size_t n, const std::nothrow_t&) noexcept { return Allocate(n); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { free(p); }
