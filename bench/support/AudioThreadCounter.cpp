#include "AudioThreadCounter.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>

#include <dlfcn.h>
#include <pthread.h>
#include <stdlib.h>

extern "C"
{
void* __libc_malloc (size_t);
void* __libc_calloc (size_t, size_t);
void* __libc_realloc (void*, size_t);
void* __libc_memalign (size_t, size_t);
}

namespace
{
// Plain storage only: anything here that allocated or locked would count itself.
thread_local bool counting = false;

constexpr size_t maxCallers = 16;
constexpr size_t maxLocks = 64;

long allocationCount = 0;
std::array<const void*, maxCallers> allocationCallers {};
std::array<AudioThreadCounter::LockUse, maxLocks> locks {};
size_t lockCount = 0;

void noteAllocation (const void* caller) noexcept
{
    if (! counting)
        return;

    if ((size_t) allocationCount < maxCallers)
        allocationCallers[(size_t) allocationCount] = caller;
    ++allocationCount;
}

void noteLock (const void* mutex, const void* caller) noexcept
{
    if (! counting)
        return;

    for (size_t i = 0; i < lockCount; ++i)
    {
        if (locks[i].mutex == mutex)
        {
            ++locks[i].count;
            return;
        }
    }

    if (lockCount < maxLocks)
        locks[lockCount++] = { mutex, caller, 1 };
}

using LockFunction = int (*) (pthread_mutex_t*);

// The C library's own, looked up on first use: a constructor might run too late for the
// first callers.
LockFunction cLibrary (std::atomic<LockFunction>& cache, const char* name) noexcept
{
    auto function = cache.load (std::memory_order_relaxed);
    if (function == nullptr)
    {
        function = reinterpret_cast<LockFunction> (dlsym (RTLD_NEXT, name));
        cache.store (function, std::memory_order_relaxed);
    }
    return function;
}

std::atomic<LockFunction> cLock { nullptr }, cTryLock { nullptr };
}

extern "C"
{
void* malloc (size_t size) noexcept
{
    noteAllocation (__builtin_return_address (0));
    return __libc_malloc (size);
}

void* calloc (size_t count, size_t size) noexcept
{
    noteAllocation (__builtin_return_address (0));
    return __libc_calloc (count, size);
}

void* realloc (void* block, size_t size) noexcept
{
    noteAllocation (__builtin_return_address (0));
    return __libc_realloc (block, size);
}

void* aligned_alloc (size_t alignment, size_t size) noexcept
{
    noteAllocation (__builtin_return_address (0));
    return __libc_memalign (alignment, size);
}

void* memalign (size_t alignment, size_t size) noexcept
{
    noteAllocation (__builtin_return_address (0));
    return __libc_memalign (alignment, size);
}

int posix_memalign (void** result, size_t alignment, size_t size) noexcept
{
    noteAllocation (__builtin_return_address (0));
    if (alignment < sizeof (void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;

    *result = __libc_memalign (alignment, size);
    return *result != nullptr ? 0 : ENOMEM;
}

int pthread_mutex_lock (pthread_mutex_t* mutex) noexcept
{
    noteLock (mutex, __builtin_return_address (0));
    return cLibrary (cLock, "pthread_mutex_lock") (mutex);
}

int pthread_mutex_trylock (pthread_mutex_t* mutex) noexcept
{
    noteLock (mutex, __builtin_return_address (0));
    return cLibrary (cTryLock, "pthread_mutex_trylock") (mutex);
}
}

void AudioThreadCounter::Reset()
{
    allocationCount = 0;
    lockCount = 0;
}

void AudioThreadCounter::Resume() { counting = true; }
void AudioThreadCounter::Pause() { counting = false; }

long AudioThreadCounter::GetAllocationCount() { return allocationCount; }

std::vector<const void*> AudioThreadCounter::GetAllocationCallers()
{
    const auto recorded = std::min ((size_t) allocationCount, maxCallers);
    return std::vector<const void*> (allocationCallers.begin(), allocationCallers.begin() + (std::ptrdiff_t) recorded);
}

std::vector<AudioThreadCounter::LockUse> AudioThreadCounter::GetLocks()
{
    return std::vector<LockUse> (locks.begin(), locks.begin() + (std::ptrdiff_t) lockCount);
}
