// Counts every operator new while `counting` is set. Replaces the global allocation functions, so
// include it in exactly one file of a test executable, and leave such executables out of sanitizer
// builds (the sanitizers bring allocators of their own).
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace VorlixTest {
inline std::atomic<bool> counting {false};
inline std::atomic<long> allocations {0};
} // namespace VorlixTest

// The replacements pair malloc with free on purpose; GCC, seeing them inlined into a caller's new
// and delete, takes that for a mismatch.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new (std::size_t size)
{
    if (VorlixTest::counting.load (std::memory_order_relaxed))
        VorlixTest::allocations.fetch_add (1, std::memory_order_relaxed);
    if (void* p = std::malloc (size ? size : 1))
        return p;
    throw std::bad_alloc ();
}
void* operator new[] (std::size_t size)
{
    return operator new (size);
}
void operator delete (void* p) noexcept
{
    std::free (p);
}
void operator delete[] (void* p) noexcept
{
    std::free (p);
}
void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}
void operator delete[] (void* p, std::size_t) noexcept
{
    std::free (p);
}

#pragma GCC diagnostic pop
