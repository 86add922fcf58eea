// MainComponent's audio callback with the shipped instrument, in a real-time scope of
// LLVM's real-time sanitizer, with busy MIDI arriving between blocks. The sanitizer ends
// the program at the first allocation, lock or blocking call in the scope, except for the
// framework's own locks that the audio road relies on, which pass by here: the MIDI
// collector's, the keyboard state's, the hosted instance's and the plug-in side's callback lock.

#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>

#include <gtest/gtest.h>
#include <pluginterfaces/vst2.x/aeffect.h>

#include "MainComponentProbe.h"

extern "C" void __rtsan_realtime_enter(), __rtsan_realtime_exit(), __rtsan_off(), __rtsan_on();
extern "C" int ___interceptor_pthread_mutex_lock (pthread_mutex_t*),
    ___interceptor_pthread_mutex_unlock (pthread_mutex_t*);

namespace
{
// Reached from every lock in the process, before main too: constant-initialised.
std::atomic<const char*> acceptedFrom[4], acceptedTo[4];
thread_local const void* learnLocksOfModule = nullptr;
thread_local pthread_mutex_t* learned = nullptr;

const void* ModuleOf (const void* code)
{
    Dl_info info {};
    return dladdr (code, &info) != 0 ? info.dli_fbase : nullptr;
}

template <typename Lock>
int PassAccepted (pthread_mutex_t* mutex, Lock&& lock)
{
    for (int i = 0; i < 4; ++i)
        if ((const char*) mutex >= acceptedFrom[i] && (const char*) mutex < acceptedTo[i])
        {
            __rtsan_off();
            const auto result = lock (mutex);
            __rtsan_on();
            return result;
        }
    return lock (mutex);
}
}

extern "C" int pthread_mutex_lock (pthread_mutex_t* mutex) noexcept
{
    if (learnLocksOfModule != nullptr && ModuleOf (__builtin_return_address (0)) == learnLocksOfModule)
        learned = mutex;
    return PassAccepted (mutex, ___interceptor_pthread_mutex_lock);
}

extern "C" int pthread_mutex_unlock (pthread_mutex_t* mutex) noexcept
{
    return PassAccepted (mutex, ___interceptor_pthread_mutex_unlock);
}

TEST (AudioCallback, PlaysBusyBlocksWithoutAllocatingOrTakingAnyLockButTheFrameworksOwn)
{
    SynthConfig config;
    const std::string name = "Tarnwell App";
    MainComponent host (config, name);
    MainComponentProbe probe { host };
    ASSERT_NE (probe.plugin(), nullptr) << probe.errorLabel().getText();

    // The test renders the blocks itself, at the size and rate the device would.
    host.deviceManager.closeAudioDevice();
    host.prepareToPlay (256, 48000.0);
    juce::AudioBuffer<float> buffer (2, 256);
    const juce::AudioSourceChannelInfo block (buffer);

    struct EffectOf final : juce::ExtensionsVisitor
    {
        void visitVSTClient (const VSTClient& client) override { effect = client.getAEffectPtr(); }
        const AEffect* effect = nullptr;
    } vst;
    probe.plugin()->getExtensions (vst);
    ASSERT_NE (vst.effect, nullptr);
    learnLocksOfModule = ModuleOf (reinterpret_cast<const void*> (vst.effect->processReplacing));
    host.getNextAudioBlock (block);
    learnLocksOfModule = nullptr;
    ASSERT_NE (learned, nullptr) << "the plug-in's side takes its callback lock";

    auto* instance = dynamic_cast<void*> (probe.plugin());  // the whole object, whose size the allocator knows
    const std::pair<const void*, size_t> accepted[] { { &probe.collector(), sizeof (juce::MidiMessageCollector) },
                                                      { &probe.keyboardState(), sizeof (juce::MidiKeyboardState) },
                                                      { instance, malloc_usable_size (instance) },
                                                      { learned, sizeof (pthread_mutex_t) } };
    for (int i = 0; i < 4; ++i)
        acceptedTo[i] = (acceptedFrom[i] = (const char*) accepted[i].first) + accepted[i].second;

    struct NoteCounter final : juce::MidiKeyboardState::Listener
    {
        void handleNoteOn (juce::MidiKeyboardState*, int, int, float) override { ++ons; }
        void handleNoteOff (juce::MidiKeyboardState*, int, int, float) override { ++offs; }
        long ons = 0, offs = 0;
    } notes;
    probe.keyboardState().addListener (&notes);
    long started = 0, ended = 0;
    auto loudest = 0.0f;
    std::vector<int> sounding;

    // A changing chord: each block ends the notes of the one before and starts up to 88
    // (every key), which with the endings stays within the room the framework keeps.
    const auto send = [&] (const juce::MidiMessage& m)
    {
        probe.collector().handleIncomingMidiMessage (
            nullptr, m.withTimeStamp (juce::Time::getMillisecondCounterHiRes() * 0.001));
    };
    for (int count = 0; count < 5000; ++count)
    {
        for (const auto note : sounding)
            send (juce::MidiMessage::noteOff (1, note));
        ended += (long) std::exchange (sounding, {}).size();

        for (int i = 0; i < 10 + (count * 37) % 79; ++i, ++started)
        {
            sounding.push_back (21 + (count * 7 + i) % 88);
            send (juce::MidiMessage::noteOn (1, sounding.back(), (juce::uint8) (1 + (count + i) % 127)));
        }
        if (count % 16 == 0)
            send (juce::MidiMessage::pitchWheel (1, (count * 523) % 16384));

        __rtsan_realtime_enter();
        host.getNextAudioBlock (block);
        __rtsan_realtime_exit();
        loudest = std::max (loudest, buffer.getMagnitude (0, 256));
    }

    probe.keyboardState().removeListener (&notes);
    EXPECT_EQ (notes.ons, started) << "every note reaches the block after it arrived, once";
    EXPECT_EQ (notes.offs, ended);
    EXPECT_GT (loudest, 0.01f);
}
