#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include <juce_audio_processors/juce_audio_processors.h>

/** Stands in front of an instrument instance and times each of its processBlock calls,
    so that a host's own share of a block is its whole callback minus what is measured
    here. Everything else goes straight to the instance. */
class TimedInstrument final : public juce::AudioPluginInstance
{
public:
    explicit TimedInstrument (juce::AudioPluginInstance& instance)
        : juce::AudioPluginInstance (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo())), instrument (instance) {}

    /** The latest and the longest processBlock of the instance, in nanoseconds, and the count. */
    std::int64_t GetLastBlockNanoseconds() const noexcept { return last.load (std::memory_order_relaxed); }
    std::int64_t GetLongestBlockNanoseconds() const noexcept { return longest.load (std::memory_order_relaxed); }
    std::int64_t GetBlockCount() const noexcept { return blocks.load (std::memory_order_relaxed); }

    /** Starts looking for the longest block afresh, for example once a start-up is over. */
    void ResetLongestBlock() noexcept { longest.store (0, std::memory_order_relaxed); }

    using juce::AudioPluginInstance::processBlock;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override
    {
        const auto start = std::chrono::steady_clock::now();
        instrument.processBlock (buffer, midi);
        const std::int64_t elapsed = std::chrono::duration_cast<std::chrono::nanoseconds> (std::chrono::steady_clock::now() - start).count();
        last.store (elapsed, std::memory_order_relaxed);
        longest.store (std::max (elapsed, longest.load (std::memory_order_relaxed)), std::memory_order_relaxed);
        blocks.fetch_add (1, std::memory_order_relaxed);
    }

    void prepareToPlay (double sampleRate, int samplesPerBlock) override
    {
        instrument.setRateAndBufferSizeDetails (sampleRate, samplesPerBlock);
        instrument.prepareToPlay (sampleRate, samplesPerBlock);
    }

    // A player hands its play head to the processor it drives; the instance must see it.
    void setPlayHead (juce::AudioPlayHead* newPlayHead) override
    {
        juce::AudioPluginInstance::setPlayHead (newPlayHead);
        instrument.setPlayHead (newPlayHead);
    }

    void releaseResources() override { instrument.releaseResources(); }
    void fillInPluginDescription (juce::PluginDescription& d) const override { instrument.fillInPluginDescription (d); }
    const juce::String getName() const override { return instrument.getName(); }
    double getTailLengthSeconds() const override { return instrument.getTailLengthSeconds(); }
    bool acceptsMidi() const override { return instrument.acceptsMidi(); }
    bool producesMidi() const override { return instrument.producesMidi(); }
    juce::AudioProcessorEditor* createEditor() override { return nullptr; }
    bool hasEditor() const override { return false; }
    int getNumPrograms() override { return instrument.getNumPrograms(); }
    int getCurrentProgram() override { return instrument.getCurrentProgram(); }
    void setCurrentProgram (int index) override { instrument.setCurrentProgram (index); }
    const juce::String getProgramName (int index) override { return instrument.getProgramName (index); }
    void changeProgramName (int index, const juce::String& name) override { instrument.changeProgramName (index, name); }
    void getStateInformation (juce::MemoryBlock& data) override { instrument.getStateInformation (data); }
    void setStateInformation (const void* data, int size) override { instrument.setStateInformation (data, size); }

private:
    juce::AudioPluginInstance& instrument;
    std::atomic<std::int64_t> last { 0 }, longest { 0 }, blocks { 0 };  // written by the audio thread

    JUCE_DECLARE_NON_COPYABLE (TimedInstrument)
};
