#include "TimedInstrument.h"

#include <chrono>

TimedInstrument::TimedInstrument (juce::AudioPluginInstance& instance)
    : juce::AudioPluginInstance (BusesProperties().withOutput ("Output", juce::AudioChannelSet::stereo())),
      instrument (instance)
{
}

std::int64_t TimedInstrument::GetLastBlockNanoseconds() const noexcept
{
    return lastBlockNanoseconds.load (std::memory_order_relaxed);
}

std::int64_t TimedInstrument::GetLongestBlockNanoseconds() const noexcept
{
    return longestBlockNanoseconds.load (std::memory_order_relaxed);
}

std::int64_t TimedInstrument::GetBlockCount() const noexcept
{
    return blockCount.load (std::memory_order_relaxed);
}

void TimedInstrument::ResetLongestBlock() noexcept
{
    longestBlockNanoseconds.store (0, std::memory_order_relaxed);
}

void TimedInstrument::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const auto start = std::chrono::steady_clock::now();
    instrument.processBlock (buffer, midi);
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds> (std::chrono::steady_clock::now() - start).count();

    lastBlockNanoseconds.store (elapsed, std::memory_order_relaxed);
    if (elapsed > longestBlockNanoseconds.load (std::memory_order_relaxed))
        longestBlockNanoseconds.store (elapsed, std::memory_order_relaxed);
    blockCount.fetch_add (1, std::memory_order_relaxed);
}

void TimedInstrument::prepareToPlay (double sampleRate, int samplesPerBlock)
{
    instrument.setRateAndBufferSizeDetails (sampleRate, samplesPerBlock);
    instrument.prepareToPlay (sampleRate, samplesPerBlock);
}

void TimedInstrument::releaseResources() { instrument.releaseResources(); }

// A player hands its play head to the processor it drives; the instance must see it as
// it would without this wrapper in between.
void TimedInstrument::setPlayHead (juce::AudioPlayHead* newPlayHead)
{
    juce::AudioPluginInstance::setPlayHead (newPlayHead);
    instrument.setPlayHead (newPlayHead);
}

void TimedInstrument::fillInPluginDescription (juce::PluginDescription& description) const
{
    instrument.fillInPluginDescription (description);
}

const juce::String TimedInstrument::getName() const { return instrument.getName(); }
double TimedInstrument::getTailLengthSeconds() const { return instrument.getTailLengthSeconds(); }
bool TimedInstrument::acceptsMidi() const { return instrument.acceptsMidi(); }
bool TimedInstrument::producesMidi() const { return instrument.producesMidi(); }
juce::AudioProcessorEditor* TimedInstrument::createEditor() { return nullptr; }
bool TimedInstrument::hasEditor() const { return false; }
int TimedInstrument::getNumPrograms() { return instrument.getNumPrograms(); }
int TimedInstrument::getCurrentProgram() { return instrument.getCurrentProgram(); }
void TimedInstrument::setCurrentProgram (int index) { instrument.setCurrentProgram (index); }
const juce::String TimedInstrument::getProgramName (int index) { return instrument.getProgramName (index); }
void TimedInstrument::changeProgramName (int index, const juce::String& name) { instrument.changeProgramName (index, name); }
void TimedInstrument::getStateInformation (juce::MemoryBlock& data) { instrument.getStateInformation (data); }
void TimedInstrument::setStateInformation (const void* data, int size) { instrument.setStateInformation (data, size); }
