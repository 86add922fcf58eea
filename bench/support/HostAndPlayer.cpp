#include "HostAndPlayer.h"

namespace
{
/** A device that never runs: it only tells the player the rate, block size and outputs. */
struct StillDevice final : juce::AudioIODevice
{
    StillDevice (double rate, int size) : juce::AudioIODevice ("Benchmark", "Benchmark"), sampleRate (rate), blockSize (size) {}

    juce::StringArray getOutputChannelNames() override { return { "out 1", "out 2" }; }
    juce::StringArray getInputChannelNames() override { return {}; }
    juce::Array<double> getAvailableSampleRates() override { return { sampleRate }; }
    juce::Array<int> getAvailableBufferSizes() override { return { blockSize }; }
    int getDefaultBufferSize() override { return blockSize; }
    juce::String open (const juce::BigInteger&, const juce::BigInteger&, double, int) override { return {}; }
    void close() override {}
    bool isOpen() override { return true; }
    void start (juce::AudioIODeviceCallback*) override {}
    void stop() override {}
    bool isPlaying() override { return false; }
    juce::String getLastError() override { return {}; }
    int getCurrentBufferSizeSamples() override { return blockSize; }
    double getCurrentSampleRate() override { return sampleRate; }
    int getCurrentBitDepth() override { return 32; }
    juce::BigInteger getActiveOutputChannels() const override { return 3; }
    juce::BigInteger getActiveInputChannels() const override { return {}; }
    int getOutputLatencyInSamples() override { return 0; }
    int getInputLatencyInSamples() override { return 0; }

    const double sampleRate;
    const int blockSize;
};
}

HostAndPlayer::HostAndPlayer (int blockSize, double sampleRate)
    : device (std::make_unique<StillDevice> (sampleRate, blockSize))
{
    // The component shows a modal alert when no device opens, which would hang a
    // benchmark that has no one to close it: find out first.
    juce::AudioDeviceManager devices;
    devices.initialise (0, 2, nullptr, true);
    if (devices.getCurrentAudioDevice() == nullptr)
    {
        problem = "no audio device opens (run through scripts/bench, which starts a JACK dummy server)";
        return;
    }
    devices.closeAudioDevice();

    host = std::make_unique<MainComponent> (config, applicationName);
    if (Host().plugin() == nullptr)
    {
        problem = "the instrument did not load: " + Host().errorLabel().getText();
        return;
    }
    host->deviceManager.closeAudioDevice();
    host->prepareToPlay (blockSize, sampleRate);

    formats.Scan (GetInstrumentBundle().getFullPathName());
    instrument = formats.InstantiateFirst (sampleRate, blockSize, problem);
    if (instrument == nullptr)
        problem = "no instrument for the player at " + GetInstrumentBundle().getFullPathName() + ": " + problem;
}

HostAndPlayer::~HostAndPlayer()
{
    Play (nullptr);
}

bool HostAndPlayer::CheckReady (const char* programName) const
{
    if (problem.isNotEmpty())
        std::fprintf (stderr, "%s: %s\n", programName, problem.toRawUTF8());
    return problem.isEmpty();
}

void HostAndPlayer::RenderHost (juce::AudioBuffer<float>& buffer)
{
    host->getNextAudioBlock (juce::AudioSourceChannelInfo (buffer));
}

void HostAndPlayer::Play (juce::AudioProcessor* processor)
{
    player.audioDeviceStopped();
    player.setProcessor (processor);
    if (processor != nullptr)
        player.audioDeviceAboutToStart (device.get());
}

void HostAndPlayer::RenderPlayer (juce::AudioBuffer<float>& buffer)
{
    player.audioDeviceIOCallbackWithContext (nullptr, 0, buffer.getArrayOfWritePointers(), buffer.getNumChannels(),
                                             buffer.getNumSamples(), {});
}
