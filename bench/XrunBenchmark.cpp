// Xruns while MainComponent, built here as the app builds it with its editor on the display,
// plays sixteen notes fed to its MIDI collector for a minute at 64-sample blocks on the JACK
// dummy server that scripts/bench starts; then an empty callback on the same server for as
// long, for what the machine alone causes. ORVO_BENCH_SECONDS sets each run's length.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "MainComponentProbe.h"
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

/** The device of the JACK server at 64-sample blocks, or none. Where a sound card exists
    the framework may have preferred it: these figures are about the JACK server. */
juce::AudioIODevice* jackDevice (juce::AudioDeviceManager& devices)
{
    if (auto* current = devices.getCurrentAudioDevice(); current != nullptr && current->getTypeName() != "JACK")
        devices.setCurrentAudioDeviceType ("JACK", true);

    auto* device = devices.getCurrentAudioDevice();
    return device != nullptr && device->getCurrentBufferSizeSamples() == blockSize ? device : nullptr;
}

struct RunFigures { std::int64_t callbacks = 0; int xruns = 0, startingXruns = 0, overruns = 0; };

/** Lets the device settle for a second, then counts for the given time. */
RunFigures measure (juce::AudioDeviceManager& devices, juce::AudioIODevice& device,
                    const std::function<std::int64_t()>& callbacks, int seconds,
                    const std::function<void()>& onceSettled)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (settlingMilliseconds);

    RunFigures figures;
    figures.startingXruns = device.getXRunCount();
    const auto startingCallbacks = callbacks();
    const auto startingOverruns = devices.getXRunCount() - figures.startingXruns;
    onceSettled();

    juce::MessageManager::getInstance()->runDispatchLoopUntil (seconds * 1000);

    figures.xruns = device.getXRunCount() - figures.startingXruns;
    figures.callbacks = callbacks() - startingCallbacks;
    figures.overruns = devices.getXRunCount() - device.getXRunCount() - startingOverruns;
    return figures;
}

void print (const juce::String& what, const RunFigures& figures, int seconds)
{
    std::printf ("  %s: %lld callbacks (%d expected); xruns reported by the server: %d (%d more while starting);"
                 " callbacks longer than their block: %d\n",
                 what.toRawUTF8(), (long long) figures.callbacks, seconds * sampleRate / blockSize,
                 figures.xruns, figures.startingXruns, figures.overruns);
}

bool runHost (int seconds)
{
    SynthConfig config;
    const std::string applicationName = "Tarnwell App";
    MainComponent host (config, applicationName);
    MainComponentProbe probe { host };

    auto* device = jackDevice (host.deviceManager);
    auto* instrument = probe.plugin();
    if (device == nullptr || instrument == nullptr)
    {
        std::fprintf (stderr, "XrunBenchmark: the host did not start with its instrument on a %d-sample JACK device\n", blockSize);
        return false;
    }

    juce::DocumentWindow window (applicationName, juce::Colours::black, 0, true);
    window.setUsingNativeTitleBar (true);
    window.setContentNonOwned (&host, true);
    window.setVisible (true);

    // Counts and times the blocks the instrument renders; all else passes straight through.
    TimedInstrument timing (*instrument);
    probe.audioThreadPlugin().store (&timing);

    const auto now = juce::Time::getMillisecondCounterHiRes() * 0.001;
    for (int voice = 0; voice < voices; ++voice)
        probe.collector().addMessageToQueue (juce::MidiMessage::noteOn (1, 40 + 3 * voice, (juce::uint8) 100).withTimeStamp (now));

    const auto figures = measure (host.deviceManager, *device, [&] { return timing.GetBlockCount(); }, seconds,
                                  [&] { timing.ResetLongestBlock(); });
    const auto longest = timing.GetLongestBlockNanoseconds();

    // The audio thread may be inside the stand-in right now: stop it before the stand-in goes.
    host.deviceManager.closeAudioDevice();
    probe.audioThreadPlugin().store (instrument);
    window.clearContentComponent();

    print ("MainComponent, " + juce::String (voices) + " notes held, editor on screen", figures, seconds);
    std::printf ("  MainComponent's longest instrument block: %.0f us of a %.0f us block\n",
                 (double) longest / 1000.0, 1.0e6 * blockSize / sampleRate);
    return true;
}

/** Writes silence and counts its calls: a device with no host and no instrument behind it. */
struct CountingCallback final : juce::AudioIODeviceCallback
{
    void audioDeviceIOCallbackWithContext (const float* const*, int, float* const* outputs, int numOutputs, int numSamples,
                                           const juce::AudioIODeviceCallbackContext&) override
    {
        for (int channel = 0; channel < numOutputs; ++channel)
            if (outputs[channel] != nullptr)
                juce::FloatVectorOperations::clear (outputs[channel], numSamples);
        calls.fetch_add (1, std::memory_order_relaxed);
    }
    void audioDeviceAboutToStart (juce::AudioIODevice*) override {}
    void audioDeviceStopped() override {}
    std::atomic<std::int64_t> calls { 0 };
};

bool runEmptyCallback (int seconds)
{
    juce::AudioDeviceManager devices;
    devices.initialise (0, 2, nullptr, true);

    auto* device = jackDevice (devices);
    if (device == nullptr)
    {
        std::fprintf (stderr, "XrunBenchmark: no %d-sample JACK device for the empty callback\n", blockSize);
        return false;
    }

    CountingCallback callback;
    devices.addAudioCallback (&callback);
    const auto figures = measure (devices, *device, [&] { return callback.calls.load(); }, seconds, [] {});
    devices.removeAudioCallback (&callback);
    devices.closeAudioDevice();

    print ("an empty callback on the same server, for comparison", figures, seconds);
    return true;
}
}

int main()
{
    ScopedGuiFramework framework;
    const auto seconds = secondsFromEnvironment();
    std::printf ("%d s each at %d-sample blocks and %d Hz on the JACK dummy server (no real-time scheduling):\n",
                 seconds, blockSize, sampleRate);
    std::fflush (stdout);

    return runHost (seconds) && runEmptyCallback (seconds) ? 0 : 1;
}
