#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include "TarnwellParameters.h"
#include "TarnwellSynth.h"

/** The instrument: a sixteen-voice subtractive synthesiser with a stereo output and no
    audio input, played by MIDI.
*/
class TarnwellProcessor : public juce::AudioProcessor
{
public:
    TarnwellProcessor();

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override {}
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using AudioProcessor::processBlock;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    const juce::String getName() const override { return JucePlugin_Name; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    double getTailLengthSeconds() const override { return 5.0; }

    int getNumPrograms() override { return 1; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& destination) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    juce::AudioProcessorValueTreeState& GetState() noexcept { return state; }

private:
    juce::AudioProcessorValueTreeState state;
    TarnwellParameters parameters;
    TarnwellSynth synth;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellProcessor)
};
