#include "FakeAudioDevice.h"

FakeAudioDevice::FakeAudioDevice (double rate, int samplesPerBlock, int outputs)
    : juce::AudioIODevice ("Benchmark", "Benchmark"),
      sampleRate (rate),
      blockSize (samplesPerBlock),
      numOutputs (outputs)
{
}

juce::StringArray FakeAudioDevice::getOutputChannelNames()
{
    juce::StringArray names;
    for (int channel = 0; channel < numOutputs; ++channel)
        names.add ("out " + juce::String (channel + 1));
    return names;
}

juce::StringArray FakeAudioDevice::getInputChannelNames() { return {}; }
juce::Array<double> FakeAudioDevice::getAvailableSampleRates() { return { sampleRate }; }
juce::Array<int> FakeAudioDevice::getAvailableBufferSizes() { return { blockSize }; }
int FakeAudioDevice::getDefaultBufferSize() { return blockSize; }

juce::String FakeAudioDevice::open (const juce::BigInteger&, const juce::BigInteger&, double, int) { return {}; }
void FakeAudioDevice::close() {}
bool FakeAudioDevice::isOpen() { return true; }
void FakeAudioDevice::start (juce::AudioIODeviceCallback*) {}
void FakeAudioDevice::stop() {}
bool FakeAudioDevice::isPlaying() { return false; }
juce::String FakeAudioDevice::getLastError() { return {}; }

int FakeAudioDevice::getCurrentBufferSizeSamples() { return blockSize; }
double FakeAudioDevice::getCurrentSampleRate() { return sampleRate; }
int FakeAudioDevice::getCurrentBitDepth() { return 32; }

juce::BigInteger FakeAudioDevice::getActiveOutputChannels() const
{
    juce::BigInteger channels;
    channels.setRange (0, numOutputs, true);
    return channels;
}

juce::BigInteger FakeAudioDevice::getActiveInputChannels() const { return {}; }
int FakeAudioDevice::getOutputLatencyInSamples() { return 0; }
int FakeAudioDevice::getInputLatencyInSamples() { return 0; }
