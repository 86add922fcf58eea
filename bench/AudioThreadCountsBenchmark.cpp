// What the audio thread does besides computing: heap allocations (the target is none)
// and mutex acquisitions, over 10,000 blocks with MIDI arriving, for MainComponent's
// getNextAudioBlock and, for comparison, for juce::AudioProcessorPlayer driving its own
// instance of the same instrument. Everything called inside a block counts, the
// instrument's own code included; feeding the MIDI in between blocks does not.

#include <cstdio>
#include <functional>
#include <vector>

#include <dlfcn.h>
#include <malloc.h>

#include "AudioThreadCounter.h"
#include "HostAndPlayer.h"
#include "NotePattern.h"
#include "ScopedGuiFramework.h"

namespace
{
constexpr int blockSize = 256;
constexpr double sampleRate = 48000.0;
constexpr int blocks = 10000;

/** A lock known by where it lives: inside this object, or this lock itself. */
struct KnownPlace
{
    const char* name;
    const void* start;
    size_t size;

    bool Holds (const void* address) const
    {
        const auto* byte = static_cast<const char*> (address);
        const auto* first = static_cast<const char*> (start);
        return byte >= first && byte < first + size;
    }
};

template <typename Object>
KnownPlace placeOf (const char* name, const Object& object)
{
    return { name, &object, sizeof (Object) };
}

juce::String moduleOf (const void* code)
{
    Dl_info info {}, ownInfo {};
    if (dladdr (code, &info) == 0 || info.dli_fname == nullptr)
        return "unknown code";

    if (dladdr (reinterpret_cast<const void*> (&moduleOf), &ownInfo) != 0 && ownInfo.dli_fbase == info.dli_fbase)
        return "the framework compiled into this program";

    return juce::File (info.dli_fname).getFileName();
}

/** The whole heap block of a framework-made instance: its size is not known here, but the
    allocator knows how much it handed out for it. */
KnownPlace instanceObject (const juce::AudioPluginInstance& instance)
{
    const auto* start = dynamic_cast<const void*> (&instance);
    return { "a lock inside the instance object (the framework's VST 2 host)", start,
             malloc_usable_size (const_cast<void*> (start)) };
}

juce::String describe (const AudioThreadCounter::LockUse& lock, const std::vector<KnownPlace>& places)
{
    for (const auto& place : places)
        if (place.Holds (lock.mutex))
            return place.name;

    return "a lock taken by the code of " + moduleOf (lock.caller);
}

/** Renders the blocks with the MIDI arriving in between, counting inside the blocks only. */
void count (const char* name, juce::MidiMessageCollector& collector, const std::function<void()>& renderBlock,
            const std::vector<KnownPlace>& places)
{
    const NotePattern notes;
    AudioThreadCounter::Reset();
    for (int block = 0; block < blocks; ++block)
    {
        notes.Feed (block, { &collector });
        AudioThreadCounter::Resume();
        renderBlock();
        AudioThreadCounter::Pause();
    }

    long lockTotal = 0;
    for (const auto& lock : AudioThreadCounter::GetLocks())
        lockTotal += lock.count;

    std::printf ("%s, %d blocks:\n", name, blocks);
    std::printf ("  heap allocations on the audio thread: %ld\n", AudioThreadCounter::GetAllocationCount());
    for (const auto* caller : AudioThreadCounter::GetAllocationCallers())
        std::printf ("    one made by %s\n", moduleOf (caller).toRawUTF8());

    std::printf ("  mutex acquisitions on the audio thread: %.2f per block (%ld in all):\n",
                 (double) lockTotal / blocks, lockTotal);
    for (const auto& lock : AudioThreadCounter::GetLocks())
        std::printf ("    %.2f per block: %s\n", (double) lock.count / blocks,
                     describe (lock, places).toRawUTF8());
}
}

int main()
{
    ScopedGuiFramework framework;
    HostAndPlayer hosts (blockSize, sampleRate);
    if (! hosts.CheckReady ("AudioThreadCountsBenchmark"))
        return 1;

    auto& host = hosts.host;
    auto& player = hosts.player;

    player.Play (player.Instrument());
    juce::AudioBuffer<float> buffer (2, blockSize);
    const auto probe = host.Probe();

    std::printf ("MIDI: a note starts (and, once %d sound, one ends) before every other block of %d samples at %.0f Hz\n",
                 NotePattern::heldNotes, blockSize, sampleRate);

    count ("MainComponent::getNextAudioBlock", probe.collector(), [&] { host.Render (buffer); },
           { placeOf ("the MIDI collector's lock (juce::MidiMessageCollector)", probe.collector()),
             placeOf ("the keyboard state's lock (juce::MidiKeyboardState)", probe.keyboardState()),
             placeOf ("the instance's callback lock (juce::AudioProcessor::getCallbackLock)", probe.plugin()->getCallbackLock()),
             instanceObject (*probe.plugin()) });

    count ("juce::AudioProcessorPlayer::audioDeviceIOCallbackWithContext, for comparison",
           player.Collector(), [&] { player.Render (buffer); },
           { placeOf ("the MIDI collector's lock (juce::MidiMessageCollector)", player.Collector()),
             placeOf ("the player's own lock (juce::AudioProcessorPlayer)", player.Player()),
             placeOf ("the instance's callback lock (juce::AudioProcessor::getCallbackLock)", player.Instrument().getCallbackLock()),
             instanceObject (player.Instrument()) });
    return 0;
}
