#pragma once

#include <atomic>

#include <juce_audio_processors/juce_audio_processors.h>

#include "VoiceSettings.h"

/** The instrument's parameters: their layout, and a reading of their current values
    that takes neither a lock nor memory, for the audio thread.
*/
class TarnwellParameters
{
public:
    static constexpr const char* wave = "wave";
    static constexpr const char* detune = "detune";
    static constexpr const char* cutoff = "cutoff";
    static constexpr const char* resonance = "resonance";
    static constexpr const char* envelopeAmount = "envelopeAmount";
    static constexpr const char* attack = "attack";
    static constexpr const char* decay = "decay";
    static constexpr const char* sustain = "sustain";
    static constexpr const char* release = "release";
    static constexpr const char* level = "level";

    static juce::AudioProcessorValueTreeState::ParameterLayout CreateLayout();

    explicit TarnwellParameters (const juce::AudioProcessorValueTreeState& state);

    VoiceSettings ReadVoiceSettings() const noexcept;

private:
    const std::atomic<float>& waveValue;
    const std::atomic<float>& detuneValue;
    const std::atomic<float>& cutoffValue;
    const std::atomic<float>& resonanceValue;
    const std::atomic<float>& envelopeAmountValue;
    const std::atomic<float>& attackValue;
    const std::atomic<float>& decayValue;
    const std::atomic<float>& sustainValue;
    const std::atomic<float>& releaseValue;
    const std::atomic<float>& levelValue;
};
