#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/** Watches the threads that a test marks as real-time: LLVM's real-time sanitizer ends
    the program with a stack trace at the first lock or blocking call, and every
    allocation call is counted, so that a run reports all of them.

    The sanitizer that Debian ships (LLVM 19) reads no options and knows no
    suppressions, so the framework's own locks that the audio road relies on are let
    through here, by the lock's address: a lock inside an accepted object, or one
    accepted by itself. Any other lock still reaches the sanitizer.

    Linking this file replaces the process's pthread_mutex_lock, pthread_mutex_unlock
    and allocation functions with versions that pass every call on to the sanitizer's.
*/
namespace RealtimeWatch
{
constexpr int maxAccepted = 8;

/** Lets the locks that lie inside this object through; returns the entry's number. */
int AcceptLocksInside (const void* object, std::size_t size);

/** Lets this one lock through; returns the entry's number. */
int AcceptLock (const void* mutex);

void ForgetAcceptedLocks();

/** How often a real-time scope took the locks of an accepted entry. */
long AcceptedLocksTaken (int entry);

/** Allocation calls (malloc, calloc, realloc, aligned allocations, free) made inside
    real-time scopes since the last reset. */
long AllocationCalls();

void ResetCounts();

/** Writes the call stack of the first counted allocation call to the standard error
    stream (module and offset; addr2line names the lines). */
void PrintFirstAllocation();

/** The address range of the loaded module that holds this address: begin, end. */
std::pair<std::uintptr_t, std::uintptr_t> ModuleHolding (const void* address);

struct LockTaken
{
    const void* lock;
    const void* caller;  ///< where the first call to lock it returns to
};

/** Runs the function on this thread and returns every distinct lock that code of the
    given address range took meanwhile. */
std::vector<LockTaken> LocksTakenBy (std::pair<std::uintptr_t, std::uintptr_t> code,
                                     const std::function<void()>& run);

/** "module+0xoffset", for addr2line. */
std::string DescribeCode (const void* address);

/** While it lives, this thread is real-time for the sanitizer and its allocation calls
    are counted. */
class Scope
{
public:
    Scope();
    ~Scope();

    Scope (const Scope&) = delete;
    Scope& operator= (const Scope&) = delete;
};
}
