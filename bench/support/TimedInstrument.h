#pragma once

#include <atomic>
#include <cstdint>

#include <juce_audio_processors/juce_audio_processors.h>

/** Stands in front of an instrument instance and times each of its processBlock calls,
    so that a host's own share of a block is its whole callback minus what is measured
    here. Everything else goes straight to the instance.
*/
class TimedInstrument : public juce::AudioPluginInstance
{
public:
    explicit TimedInstrument (juce::AudioPluginInstance& instrument);

    /** The duration of the latest processBlock of the instance, in nanoseconds. */
    std::int64_t GetLastBlockNanoseconds() const noexcept;
    std::int64_t GetLongestBlockNanoseconds() const noexcept;
    std::int64_t GetBlockCount() const noexcept;

    /** Starts looking for the longest block afresh, for example once a start-up is over. */
    void ResetLongestBlock() noexcept;

    using juce::AudioPluginInstance::processBlock;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    void prepareToPlay (double sampleRate, int blockSize) override;
    void releaseResources() override;
    void setPlayHead (juce::AudioPlayHead*) override;

    void fillInPluginDescription (juce::PluginDescription&) const override;
    const juce::String getName() const override;
    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;
    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int) override;
    const juce::String getProgramName (int) override;
    void changeProgramName (int, const juce::String&) override;
    void getStateInformation (juce::MemoryBlock&) override;
    void setStateInformation (const void*, int) override;

private:
    juce::AudioPluginInstance& instrument;

    // Written by the audio thread, read by the benchmark's own thread.
    std::atomic<std::int64_t> lastBlockNanoseconds { 0 };
    std::atomic<std::int64_t> longestBlockNanoseconds { 0 };
    std::atomic<std::int64_t> blockCount { 0 };

    JUCE_DECLARE_NON_COPYABLE (TimedInstrument)
};
