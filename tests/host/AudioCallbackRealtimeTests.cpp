// MainComponent's audio callback with the shipped instrument, on a thread marked as
// real-time, with busy MIDI arriving in the collector between blocks. The sanitizer ends
// the program at the first lock or blocking call other than the framework's own locks
// that the audio road relies on; allocation calls are counted.

#include <thread>

#include <malloc.h>

#include <pluginterfaces/vst2.x/aeffect.h>

#include "HostFixture.h"
#include "RealtimeWatch.h"

namespace
{
constexpr int blockSize = 256;
constexpr double sampleRate = 48000.0;

/** Notes started in one block, at most: every key once. The block also ends the notes
    of the block before, so it holds up to 178 messages; the framework's plug-in wrapper
    keeps room for about 227 (a MIDI cable delivers six in a block of this size). */
constexpr int maxNotesPerBlock = 88;

/** Renders one block at a time on a thread of its own, inside a real-time scope,
    whenever the feeding side lets it. */
class AudioThread
{
public:
    AudioThread (MainComponent& host, juce::AudioBuffer<float>& buffer)
        : thread ([this, &host, &buffer] { run (host, buffer); })
    {
    }

    ~AudioThread()
    {
        stop = true;
        thread.join();
    }

    void RenderOneBlock()
    {
        const auto target = requested.fetch_add (1) + 1;
        while (rendered.load() < target)
            std::this_thread::yield();
    }

    float Loudest() const { return loudest; }

private:
    void run (MainComponent& host, juce::AudioBuffer<float>& buffer)
    {
        const juce::AudioSourceChannelInfo block (buffer);

        for (int done = 0;; ++done)
        {
            while (requested.load() == done)
            {
                if (stop)
                    return;
                std::this_thread::yield();
            }

            {
                RealtimeWatch::Scope realtime;
                host.getNextAudioBlock (block);
            }

            loudest = std::max (loudest.load(), peakOf (buffer));
            rendered = done + 1;
        }
    }

    std::atomic<int> requested { 0 }, rendered { 0 };
    std::atomic<bool> stop { false };
    std::atomic<float> loudest { 0.0f };
    std::thread thread;
};

/** Plays a changing chord: each block ends the notes of the block before and starts
    new ones, with a controller and a pitch bend now and then. */
class BusyKeyboard
{
public:
    explicit BusyKeyboard (juce::MidiMessageCollector& collectorToFeed) : collector (collectorToFeed) {}

    void PlayBlock (int block)
    {
        for (const auto note : sounding)
            send (juce::MidiMessage::noteOff (1, note));
        notesEnded += (long) sounding.size();
        sounding.clear();

        const int count = 10 + (block * 37) % (maxNotesPerBlock - 9);
        for (int i = 0; i < count; ++i)
        {
            const int note = 21 + (block * 7 + i) % 88;
            send (juce::MidiMessage::noteOn (1, note, (juce::uint8) (1 + (block + i) % 127)));
            sounding.push_back (note);
        }
        notesStarted += count;

        if (block % 16 == 0)
        {
            send (juce::MidiMessage::controllerEvent (1, 1, block % 128));
            send (juce::MidiMessage::pitchWheel (1, (block * 523) % 16384));
        }
    }

    void PlayBurst (int notes)
    {
        for (int i = 0; i < notes; ++i)
            send (juce::MidiMessage::noteOn (1, 21 + i % 88, (juce::uint8) 100));
    }

    long notesStarted = 0, notesEnded = 0;

private:
    void send (const juce::MidiMessage& message) { collector.handleIncomingMidiMessage (nullptr, arrivingNow (message)); }

    juce::MidiMessageCollector& collector;
    std::vector<int> sounding;
};

class AudioCallbackUnderWatch : public Host
{
protected:
    void SetUp() override
    {
        HostResources::InstallShippedInstrument();
        RealtimeWatch::ResetCounts();
    }

    void TearDown() override
    {
        RealtimeWatch::ForgetAcceptedLocks();
        Host::TearDown();
    }

    /** The framework's locks that the design relies on: the collector's, the keyboard
        state's, and the hosted instance's around its processing, on the host's side
        (MIDI coming back from the plug-in) and on the plug-in's side (its callback
        lock, the only lock that the plug-in takes in a block). */
    void AcceptTheFrameworksLocks (const MainComponentProbe& probe)
    {
        auto* instance = probe.plugin();
        const auto* instanceObject = dynamic_cast<const void*> (instance);

        accepted = {
            { "the MIDI collector", RealtimeWatch::AcceptLocksInside (&probe.collector(), sizeof (juce::MidiMessageCollector)) },
            { "the keyboard state", RealtimeWatch::AcceptLocksInside (&probe.keyboardState(), sizeof (juce::MidiKeyboardState)) },
            { "the hosted instance", RealtimeWatch::AcceptLocksInside (instanceObject, malloc_usable_size (const_cast<void*> (instanceObject))) },
        };

        struct EffectOf : juce::ExtensionsVisitor
        {
            void visitVSTClient (const VSTClient& client) override { effect = client.getAEffectPtr(); }
            const AEffect* effect = nullptr;
        } vst;
        instance->getExtensions (vst);
        ASSERT_NE (vst.effect, nullptr);

        const auto pluginCode = RealtimeWatch::ModuleHolding (reinterpret_cast<const void*> (vst.effect->processReplacing));
        const auto pluginLocks = RealtimeWatch::LocksTakenBy (pluginCode, [this] { renderBlock(); });

        std::string callers;
        for (const auto& taken : pluginLocks)
            callers += "\n  locked from " + RealtimeWatch::DescribeCode (taken.caller);

        ASSERT_EQ (pluginLocks.size(), 1u) << "the plug-in takes its callback lock and no other:" << callers;
        accepted.push_back ({ "the plug-in's callback lock", RealtimeWatch::AcceptLock (pluginLocks[0].lock) });
    }

    void ExpectNoAllocationCalls()
    {
        EXPECT_EQ (RealtimeWatch::AllocationCalls(), 0) << "the first one came from (addr2line names the lines):";
        if (RealtimeWatch::AllocationCalls() > 0)
            RealtimeWatch::PrintFirstAllocation();
    }

    std::vector<std::pair<std::string, int>> accepted;
};
}

TEST_F (AudioCallbackUnderWatch, RendersThousandsOfBusyBlocksWithoutAllocatingOrTakingOtherLocks)
{
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);
    driveBlocksByHand (blockSize, sampleRate);
    ASSERT_NO_FATAL_FAILURE (AcceptTheFrameworksLocks (probe));

    NoteCounter notes;
    probe.keyboardState().addListener (&notes);
    BusyKeyboard keyboard (probe.collector());

    constexpr int blocks = 5000;
    float loudest = 0.0f;
    {
        AudioThread audio (*host, buffer);
        for (int block = 0; block < blocks; ++block)
        {
            keyboard.PlayBlock (block);
            audio.RenderOneBlock();
        }
        loudest = audio.Loudest();
    }

    probe.keyboardState().removeListener (&notes);

    ExpectNoAllocationCalls();
    for (const auto& [owner, entry] : accepted)
        EXPECT_GE (RealtimeWatch::AcceptedLocksTaken (entry), blocks) << owner << " is locked in every block";

    EXPECT_EQ (notes.noteOns, keyboard.notesStarted) << "every note reaches the block after it arrived, once";
    EXPECT_EQ (notes.noteOffs, keyboard.notesEnded);
    EXPECT_GT (loudest, 0.01f);
}

TEST_F (AudioCallbackUnderWatch, SeesTheAllocationsOfABurstBeyondTheRoomKeptForABlock)
{
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);
    driveBlocksByHand (blockSize, sampleRate);
    ASSERT_NO_FATAL_FAILURE (AcceptTheFrameworksLocks (probe));

    BusyKeyboard keyboard (probe.collector());
    keyboard.PlayBurst (1000);
    {
        AudioThread audio (*host, buffer);
        audio.RenderOneBlock();
    }

    EXPECT_GT (RealtimeWatch::AllocationCalls(), 0);
}

TEST (RealtimeWatch, LetsAcceptedLocksThroughAndCountsThem)
{
    juce::CriticalSection frameworkLock;
    const auto entry = RealtimeWatch::AcceptLocksInside (&frameworkLock, sizeof (frameworkLock));
    {
        RealtimeWatch::Scope realtime;
        const juce::ScopedLock locked (frameworkLock);
    }
    EXPECT_EQ (RealtimeWatch::AcceptedLocksTaken (entry), 1);
    RealtimeWatch::ForgetAcceptedLocks();
}

TEST (RealtimeWatch, EndsTheProgramAtAnyOtherLock)
{
    EXPECT_DEATH ({
        RealtimeWatch::Scope realtime;
        juce::CriticalSection otherLock;
        const juce::ScopedLock locked (otherLock);
    }, "Real-time violation.*pthread_mutex_lock");
}

TEST (RealtimeWatch, CountsAllocationCallsAndLetsTheRunGoOn)
{
    RealtimeWatch::ResetCounts();
    {
        RealtimeWatch::Scope realtime;
        juce::AudioBuffer<float> allocated (2, blockSize);
        allocated.clear();
    }
    EXPECT_EQ (RealtimeWatch::AllocationCalls(), 2) << "one allocation and its release";
}
