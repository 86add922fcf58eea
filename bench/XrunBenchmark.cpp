// Xruns while MainComponent plays sixteen held notes for a minute at 64-sample blocks:
// the component is built in this process as the app builds it, on a private JACK dummy
// server running at 48 kHz with a 64-sample period, with its editor in a window on the
// display. The notes go in through its MIDI collector, as a MIDI input would deliver
// them. ORVO_BENCH_SECONDS sets the duration (60 s by default).

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "MainComponentProbe.h"
#include "PrivateJackServer.h"
#include "ScopedGuiFramework.h"
#include "TimedInstrument.h"

namespace
{
constexpr int blockSize = 64;
constexpr int sampleRate = 48000;
constexpr int voices = 16;
constexpr int settlingMilliseconds = 1000;

int secondsFromEnvironment()
{
    const auto* text = std::getenv ("ORVO_BENCH_SECONDS");
    return text != nullptr && std::atoi (text) > 0 ? std::atoi (text) : 60;
}

void runMessageLoop (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

int countHeldNotes (const juce::MidiKeyboardState& state)
{
    int held = 0;
    for (int note = 0; note < 128; ++note)
        held += state.isNoteOn (1, note) ? 1 : 0;
    return held;
}

int run (const juce::String& serverName, int seconds)
{
    SynthConfig config;
    const std::string applicationName = "Tarnwell App";
    MainComponent host (config, applicationName);
    MainComponentProbe probe { host };

    // Where a sound card exists the framework may have preferred it: this figure is about
    // the JACK server.
    if (auto* current = host.deviceManager.getCurrentAudioDevice(); current != nullptr && current->getTypeName() != "JACK")
        host.deviceManager.setCurrentAudioDeviceType ("JACK", true);

    auto* device = host.deviceManager.getCurrentAudioDevice();
    auto* instrument = probe.plugin();
    if (device == nullptr || instrument == nullptr || device->getCurrentBufferSizeSamples() != blockSize)
    {
        std::fprintf (stderr, "XrunBenchmark: the host did not start with its instrument on a %d-sample device\n", blockSize);
        return 1;
    }

    juce::DocumentWindow window (applicationName, juce::Colours::black, 0, true);
    window.setUsingNativeTitleBar (true);
    window.setContentNonOwned (&host, true);
    window.setVisible (true);

    // Counts the blocks the instrument renders; everything else passes straight through.
    TimedInstrument timing (*instrument);
    probe.audioThreadPlugin().store (&timing);

    const auto now = juce::Time::getMillisecondCounterHiRes() * 0.001;
    for (int voice = 0; voice < voices; ++voice)
        probe.collector().addMessageToQueue (juce::MidiMessage::noteOn (1, 40 + 3 * voice, (juce::uint8) 100).withTimeStamp (now));

    runMessageLoop (settlingMilliseconds);
    const auto startingXruns = device->getXRunCount();
    const auto startingBlocks = timing.GetBlockCount();
    const auto startingOverruns = host.deviceManager.getXRunCount() - startingXruns;

    runMessageLoop (seconds * 1000);

    const auto xruns = device->getXRunCount() - startingXruns;
    const auto blocks = timing.GetBlockCount() - startingBlocks;
    const auto overruns = host.deviceManager.getXRunCount() - device->getXRunCount() - startingOverruns;
    const auto held = countHeldNotes (probe.keyboardState());

    probe.audioThreadPlugin().store (instrument);
    window.clearContentComponent();

    std::printf ("%d s of MainComponent on the JACK dummy server \"%s\" (%.0f Hz, %d-sample blocks), %d notes held"
                 " (%d on in the keyboard state), editor on screen:\n",
                 seconds, serverName.toRawUTF8(), device->getCurrentSampleRate(),
                 device->getCurrentBufferSizeSamples(), voices, held);
    std::printf ("  callbacks: %lld (%d expected at the server's pace)\n", (long long) blocks, seconds * sampleRate / blockSize);
    std::printf ("  xruns reported by the JACK server: %d (%d more while starting)\n", xruns, startingXruns);
    std::printf ("  callbacks longer than their block (the framework's load measure): %d\n", overruns);
    std::printf ("  longest instrument block: %.0f us of a %.0f us block\n",
                 (double) timing.GetLongestBlockNanoseconds() / 1000.0, 1.0e6 * blockSize / sampleRate);
    return 0;
}
}

int main()
{
    PrivateJackServer server ("orvo-xruns-" + juce::String (getpid()), sampleRate, blockSize);
    if (! server.IsRunning())
    {
        std::fprintf (stderr, "XrunBenchmark: could not start a JACK dummy server\n");
        return 1;
    }

    // The framework's JACK device finds the server through libjack, which reads this.
    setenv ("JACK_DEFAULT_SERVER", server.GetName().toRawUTF8(), 1);

    ScopedGuiFramework framework;
    return run (server.GetName(), secondsFromEnvironment());
}
