#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

/** A device that is never opened and never calls back: it only tells a callback's
    audioDeviceAboutToStart the rate, block size and channels it would run at, so that
    a benchmark can then call the callback by hand on its own thread.
*/
class FakeAudioDevice : public juce::AudioIODevice
{
public:
    FakeAudioDevice (double sampleRate, int blockSize, int numOutputs);

    juce::StringArray getOutputChannelNames() override;
    juce::StringArray getInputChannelNames() override;
    juce::Array<double> getAvailableSampleRates() override;
    juce::Array<int> getAvailableBufferSizes() override;
    int getDefaultBufferSize() override;

    juce::String open (const juce::BigInteger&, const juce::BigInteger&, double, int) override;
    void close() override;
    bool isOpen() override;
    void start (juce::AudioIODeviceCallback*) override;
    void stop() override;
    bool isPlaying() override;
    juce::String getLastError() override;

    int getCurrentBufferSizeSamples() override;
    double getCurrentSampleRate() override;
    int getCurrentBitDepth() override;
    juce::BigInteger getActiveOutputChannels() const override;
    juce::BigInteger getActiveInputChannels() const override;
    int getOutputLatencyInSamples() override;
    int getInputLatencyInSamples() override;

private:
    const double sampleRate;
    const int blockSize;
    const int numOutputs;
};
