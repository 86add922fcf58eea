// Heap allocations (the target is none) and mutex acquisitions on the audio thread over
// 10,000 blocks with MIDI arriving, for MainComponent::getNextAudioBlock and for
// juce::AudioProcessorPlayer with the same instrument; the instrument's own code counts.
// The C library's allocation and lock functions are replaced here (and exported to it).

#include <cerrno>
#include <cstdio>
#include <functional>
#include <atomic>
#include <vector>

#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>

#include "HostAndPlayer.h"
#include "NotePattern.h"
#include "ScopedGuiFramework.h"

extern "C" void* __libc_malloc (size_t), *__libc_calloc (size_t, size_t), *__libc_realloc (void*, size_t), *__libc_memalign (size_t, size_t);

namespace
{
// Plain storage only: anything here that allocated or locked would count itself.
thread_local bool counting = false;
long allocations = 0;
const void* firstAllocationCaller = nullptr;
struct LockUse { const void* mutex; const void* caller; long count; };
LockUse locks[64];
int numLocks = 0;

void* noteAllocation (void* result, const void* caller)
{
    if (counting && allocations++ == 0)
        firstAllocationCaller = caller;
    return result;
}

using LockFunction = int (*) (pthread_mutex_t*);
std::atomic<LockFunction> cLock { nullptr }, cTryLock { nullptr };

int noteLock (pthread_mutex_t* mutex, const void* caller, std::atomic<LockFunction>& cached, const char* name)
{
    if (counting)
    {
        int i = 0;
        while (i < numLocks && locks[i].mutex != mutex)
            ++i;
        if (i == numLocks && numLocks < 64)
            locks[numLocks++] = { mutex, caller, 0 };
        if (i < 64)
            ++locks[i].count;
    }
    // Looked up at the first call: a constructor might run too late for the first callers.
    if (cached.load() == nullptr)
        cached = reinterpret_cast<LockFunction> (dlsym (RTLD_NEXT, name));
    return cached.load() (mutex);
}
}

extern "C"
{
void* malloc (size_t size) noexcept { return noteAllocation (__libc_malloc (size), __builtin_return_address (0)); }
void* calloc (size_t count, size_t size) noexcept { return noteAllocation (__libc_calloc (count, size), __builtin_return_address (0)); }
void* realloc (void* block, size_t size) noexcept { return noteAllocation (__libc_realloc (block, size), __builtin_return_address (0)); }
void* aligned_alloc (size_t alignment, size_t size) noexcept { return noteAllocation (__libc_memalign (alignment, size), __builtin_return_address (0)); }
void* memalign (size_t alignment, size_t size) noexcept { return noteAllocation (__libc_memalign (alignment, size), __builtin_return_address (0)); }
int posix_memalign (void** result, size_t alignment, size_t size) noexcept
{
    *result = noteAllocation (__libc_memalign (alignment, size), __builtin_return_address (0));
    return *result != nullptr ? 0 : ENOMEM;
}
int pthread_mutex_lock (pthread_mutex_t* mutex) noexcept { return noteLock (mutex, __builtin_return_address (0), cLock, "pthread_mutex_lock"); }
int pthread_mutex_trylock (pthread_mutex_t* mutex) noexcept { return noteLock (mutex, __builtin_return_address (0), cTryLock, "pthread_mutex_trylock"); }
}

namespace
{
constexpr int blockSize = 256, blocks = 10000;

juce::String moduleOf (const void* code)
{
    Dl_info info {}, own {};
    if (dladdr (code, &info) == 0 || info.dli_fname == nullptr)
        return "unknown code";
    if (dladdr (reinterpret_cast<const void*> (&moduleOf), &own) != 0 && own.dli_fbase == info.dli_fbase)
        return "the framework compiled into this program";
    return juce::File (info.dli_fname).getFileName();
}

/** Where a lock lives: the name of the object that holds it, or the code that took it. */
using Places = std::vector<std::pair<const char*, std::pair<const void*, size_t>>>;

template <typename Object>
std::pair<const void*, size_t> placeOf (const Object& object) { return { &object, sizeof (Object) }; }

std::pair<const void*, size_t> instanceObject (juce::AudioPluginInstance& instance)
{
    auto* start = dynamic_cast<void*> (&instance);  // its size is known to the allocator only
    return { start, malloc_usable_size (start) };
}

void count (const char* name, juce::MidiMessageCollector& collector, const std::function<void()>& renderBlock, const Places& places)
{
    allocations = numLocks = 0;
    for (int block = 0; block < blocks; ++block)
    {
        NotePattern::Feed (block, { &collector });
        counting = true;
        renderBlock();
        counting = false;
    }

    long lockTotal = 0;
    for (int i = 0; i < numLocks; ++i)
        lockTotal += locks[i].count;

    std::printf ("%s, %d blocks:\n  heap allocations on the audio thread: %ld\n", name, blocks, allocations);
    if (allocations > 0)
        std::printf ("    the first made by %s\n", moduleOf (firstAllocationCaller).toRawUTF8());
    std::printf ("  mutex acquisitions on the audio thread: %.2f per block (%ld in all):\n", (double) lockTotal / blocks, lockTotal);
    for (int i = 0; i < numLocks; ++i)
    {
        juce::String where = "a lock taken by the code of " + moduleOf (locks[i].caller);
        for (auto place = places.rbegin(); place != places.rend(); ++place)
            if (locks[i].mutex >= place->second.first && (const char*) locks[i].mutex < (const char*) place->second.first + place->second.second)
                where = place->first;
        std::printf ("    %.2f per block: %s\n", (double) locks[i].count / blocks, where.toRawUTF8());
    }
}
}

int main()
{
    ScopedGuiFramework framework;
    HostAndPlayer hosts (blockSize, 48000.0);
    if (! hosts.CheckReady ("AudioThreadCountsBenchmark"))
        return 1;

    hosts.Play (&hosts.PlayerInstrument());
    juce::AudioBuffer<float> buffer (2, blockSize);
    const auto probe = hosts.Host();
    const auto* callbackLock = "the instance's callback lock (juce::AudioProcessor::getCallbackLock)";
    const auto* instance = "a lock inside the instance object (the framework's VST 2 host)";
    const auto* collectorLock = "the MIDI collector's lock (juce::MidiMessageCollector)";
    std::printf ("MIDI: a note starts (and, once %d sound, one ends) before every other block of %d samples at 48000 Hz\n",
                 NotePattern::heldNotes, blockSize);
    count ("MainComponent::getNextAudioBlock", probe.collector(), [&] { hosts.RenderHost (buffer); },
           { { collectorLock, placeOf (probe.collector()) },
             { "the keyboard state's lock (juce::MidiKeyboardState)", placeOf (probe.keyboardState()) },
             { callbackLock, placeOf (probe.plugin()->getCallbackLock()) }, { instance, instanceObject (*probe.plugin()) } });
    count ("juce::AudioProcessorPlayer::audioDeviceIOCallbackWithContext, for comparison",
           hosts.Player().getMidiMessageCollector(), [&] { hosts.RenderPlayer (buffer); },
           { { collectorLock, placeOf (hosts.Player().getMidiMessageCollector()) },
             { "the player's own lock (juce::AudioProcessorPlayer)", placeOf (hosts.Player()) },
             { callbackLock, placeOf (hosts.PlayerInstrument().getCallbackLock()) },
             { instance, instanceObject (hosts.PlayerInstrument()) } });
    return 0;
}
