#pragma once

#include <vector>

/** Counts what one thread does while counting is on: heap allocations (malloc, calloc,
    realloc and the aligned forms; operator new comes through malloc) and mutex
    acquisitions (pthread_mutex_lock and pthread_mutex_trylock), whoever makes them:
    this program, the framework compiled into it, or the instrument's shared object.

    It works by defining those C library functions in the executable that links this
    file, in front of the C library's own, which they then call. Only one thread at a
    time may count.
*/
class AudioThreadCounter
{
public:
    struct LockUse
    {
        const void* mutex = nullptr;
        const void* caller = nullptr;  ///< the code that took it, the first time
        long count = 0;
    };

    /** Forgets all counts. */
    static void Reset();

    /** Counts on the calling thread from now on, until Pause(). */
    static void Resume();
    static void Pause();

    static long GetAllocationCount();

    /** Where the first few allocations came from (return addresses). */
    static std::vector<const void*> GetAllocationCallers();

    /** Each mutex taken, with how often. */
    static std::vector<LockUse> GetLocks();
};
