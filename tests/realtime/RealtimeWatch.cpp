#include "RealtimeWatch.h"

#include <atomic>
#include <cstdlib>
#include <sstream>

#include <dlfcn.h>
#include <execinfo.h>
#include <link.h>
#include <pthread.h>
#include <unistd.h>

// The sanitizer's runtime, linked whole into the test program. Its replacements of the
// C library's functions are weak symbols; ours below take their place and call the
// sanitizer's own versions, which check the real-time state and call the C library.
extern "C"
{
void __rtsan_realtime_enter();
void __rtsan_realtime_exit();
void __rtsan_off();
void __rtsan_on();

int ___interceptor_pthread_mutex_lock (pthread_mutex_t*);
int ___interceptor_pthread_mutex_unlock (pthread_mutex_t*);
void* ___interceptor_malloc (size_t);
void* ___interceptor_calloc (size_t, size_t);
void* ___interceptor_realloc (void*, size_t);
void ___interceptor_free (void*);
void* ___interceptor_aligned_alloc (size_t, size_t);
int ___interceptor_posix_memalign (void**, size_t, size_t);
}

namespace
{
struct AcceptedEntry
{
    std::atomic<std::uintptr_t> begin { 0 }, end { 0 };
    std::atomic<long> taken { 0 };
};

// Everything here is reached from inside malloc and pthread_mutex_lock, also before
// main runs: constant-initialised, never allocating.
AcceptedEntry accepted[RealtimeWatch::maxAccepted];
std::atomic<int> numAccepted { 0 };

std::atomic<long> allocationCalls { 0 };
constexpr int maxFrames = 48;
void* firstAllocationFrames[maxFrames];
std::atomic<int> numFirstAllocationFrames { 0 };
std::atomic<bool> backtraceReady { false };

thread_local int realtimeDepth = 0;
thread_local bool countingAllocation = false;

constexpr int maxLearned = 8;
thread_local std::uintptr_t learnFrom = 0, learnTo = 0;
thread_local const void* learned[maxLearned];
thread_local const void* learnedCallers[maxLearned];
thread_local int numLearned = 0;

int acceptedEntryHolding (const void* lock) noexcept
{
    const auto address = reinterpret_cast<std::uintptr_t> (lock);
    const auto count = numAccepted.load (std::memory_order_acquire);

    for (int i = 0; i < count; ++i)
        if (address >= accepted[i].begin.load (std::memory_order_relaxed)
            && address < accepted[i].end.load (std::memory_order_relaxed))
            return i;

    return -1;
}

void learn (const void* lock, const void* caller) noexcept
{
    const auto address = reinterpret_cast<std::uintptr_t> (caller);
    if (address < learnFrom || address >= learnTo)
        return;

    for (int i = 0; i < numLearned; ++i)
        if (learned[i] == lock)
            return;

    if (numLearned < maxLearned)
    {
        learnedCallers[numLearned] = caller;
        learned[numLearned++] = lock;
    }
}

int addEntry (std::uintptr_t begin, std::uintptr_t end)
{
    const auto entry = numAccepted.load();
    if (entry >= RealtimeWatch::maxAccepted)
        std::abort();

    accepted[entry].begin = begin;
    accepted[entry].end = end;
    accepted[entry].taken = 0;
    numAccepted.store (entry + 1, std::memory_order_release);
    return entry;
}

/** Counts an allocation call made in a real-time scope and keeps the sanitizer quiet
    for it, so that the run goes on and reports the total. */
class CountedAllocationCall
{
public:
    CountedAllocationCall() noexcept
    {
        if (realtimeDepth == 0 || countingAllocation)
            return;

        counting = countingAllocation = true;
        __rtsan_off();

        if (allocationCalls.fetch_add (1) == 0)
            numFirstAllocationFrames = backtrace (firstAllocationFrames, maxFrames);
    }

    ~CountedAllocationCall()
    {
        if (! counting)
            return;

        __rtsan_on();
        countingAllocation = false;
    }

private:
    bool counting = false;
};
}

//==============================================================================
extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex) noexcept
{
    if (learnTo != 0)
        learn (mutex, __builtin_return_address (0));

    if (realtimeDepth > 0)
    {
        if (const auto entry = acceptedEntryHolding (mutex); entry >= 0)
        {
            accepted[entry].taken.fetch_add (1, std::memory_order_relaxed);
            __rtsan_off();
            const auto result = ___interceptor_pthread_mutex_lock (mutex);
            __rtsan_on();
            return result;
        }
    }

    return ___interceptor_pthread_mutex_lock (mutex);
}

extern "C" int pthread_mutex_unlock (pthread_mutex_t* mutex) noexcept
{
    if (realtimeDepth > 0 && acceptedEntryHolding (mutex) >= 0)
    {
        __rtsan_off();
        const auto result = ___interceptor_pthread_mutex_unlock (mutex);
        __rtsan_on();
        return result;
    }

    return ___interceptor_pthread_mutex_unlock (mutex);
}

extern "C" void* malloc (size_t size) noexcept
{
    CountedAllocationCall counted;
    return ___interceptor_malloc (size);
}

extern "C" void* calloc (size_t count, size_t size) noexcept
{
    CountedAllocationCall counted;
    return ___interceptor_calloc (count, size);
}

extern "C" void* realloc (void* block, size_t size) noexcept
{
    CountedAllocationCall counted;
    return ___interceptor_realloc (block, size);
}

extern "C" void free (void* block) noexcept
{
    if (block == nullptr)
        return;

    CountedAllocationCall counted;
    ___interceptor_free (block);
}

extern "C" void* aligned_alloc (size_t alignment, size_t size) noexcept
{
    CountedAllocationCall counted;
    return ___interceptor_aligned_alloc (alignment, size);
}

extern "C" int posix_memalign (void** block, size_t alignment, size_t size) noexcept
{
    CountedAllocationCall counted;
    return ___interceptor_posix_memalign (block, alignment, size);
}

//==============================================================================
namespace RealtimeWatch
{
int AcceptLocksInside (const void* object, std::size_t size)
{
    const auto begin = reinterpret_cast<std::uintptr_t> (object);
    return addEntry (begin, begin + size);
}

int AcceptLock (const void* mutex)
{
    return AcceptLocksInside (mutex, sizeof (pthread_mutex_t));
}

void ForgetAcceptedLocks()
{
    numAccepted.store (0, std::memory_order_release);
}

long AcceptedLocksTaken (int entry)
{
    return accepted[entry].taken.load();
}

long AllocationCalls()
{
    return allocationCalls.load();
}

void ResetCounts()
{
    allocationCalls = 0;
    numFirstAllocationFrames = 0;
    for (auto& entry : accepted)
        entry.taken = 0;
}

void PrintFirstAllocation()
{
    if (numFirstAllocationFrames > 0)
        backtrace_symbols_fd (firstAllocationFrames, numFirstAllocationFrames, STDERR_FILENO);
}

std::pair<std::uintptr_t, std::uintptr_t> ModuleHolding (const void* address)
{
    struct Search
    {
        std::uintptr_t address, begin = 0, end = 0;
    } search { reinterpret_cast<std::uintptr_t> (address) };

    dl_iterate_phdr ([] (dl_phdr_info* info, size_t, void* data)
    {
        auto& s = *static_cast<Search*> (data);
        std::uintptr_t begin = UINTPTR_MAX, end = 0;
        bool holds = false;

        for (int i = 0; i < info->dlpi_phnum; ++i)
        {
            const auto& segment = info->dlpi_phdr[i];
            if (segment.p_type != PT_LOAD)
                continue;

            const auto from = info->dlpi_addr + segment.p_vaddr;
            const auto to = from + segment.p_memsz;
            begin = std::min (begin, (std::uintptr_t) from);
            end = std::max (end, (std::uintptr_t) to);
            holds = holds || (s.address >= from && s.address < to);
        }

        if (! holds)
            return 0;

        s.begin = begin;
        s.end = end;
        return 1;
    }, &search);

    return { search.begin, search.end };
}

std::vector<LockTaken> LocksTakenBy (std::pair<std::uintptr_t, std::uintptr_t> code,
                                     const std::function<void()>& run)
{
    numLearned = 0;
    learnFrom = code.first;
    learnTo = code.second;
    run();
    learnTo = 0;

    std::vector<LockTaken> locks;
    for (int i = 0; i < numLearned; ++i)
        locks.push_back ({ learned[i], learnedCallers[i] });
    return locks;
}

std::string DescribeCode (const void* address)
{
    Dl_info info {};
    if (dladdr (address, &info) == 0 || info.dli_fname == nullptr)
        return "an unknown place";

    std::ostringstream text;
    text << info.dli_fname << "+0x" << std::hex
         << (reinterpret_cast<std::uintptr_t> (address) - reinterpret_cast<std::uintptr_t> (info.dli_fbase));
    return text.str();
}

Scope::Scope()
{
    // The first backtrace loads the unwinder, which allocates and locks: do that here.
    if (! backtraceReady.exchange (true))
    {
        void* frame[1];
        backtrace (frame, 1);
    }

    ++realtimeDepth;
    __rtsan_realtime_enter();
}

Scope::~Scope()
{
    __rtsan_realtime_exit();
    --realtimeDepth;
}
}
