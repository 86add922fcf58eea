#pragma once

#include <cstdint>

#include <juce_audio_basics/juce_audio_basics.h>

#include "HalfbandDecimator.h"
#include "LowPassFilter.h"
#include "PolyBlepOscillator.h"
#include "VoiceSettings.h"

/** One voice: two detuned oscillators at twice the sample rate, brought down to it,
    through a resonant low-pass whose cutoff follows the amplitude envelope.
    A voice taken over by a new note keeps its phase, filter state and envelope level,
    so the change makes no click.
*/
class TarnwellVoice
{
public:
    void Prepare (double newSampleRate);

    void Start (int midiNote, float velocity, std::uint64_t startOrder,
                const juce::ADSR::Parameters& envelopeShape) noexcept;
    void Release() noexcept;
    void Silence() noexcept;

    bool IsSounding() const noexcept { return envelope.isActive(); }
    bool IsReleasing() const noexcept { return IsSounding() && released; }
    int GetNote() const noexcept { return note; }
    std::uint64_t GetStartOrder() const noexcept { return order; }

    /** Sets the pitch offset of all the voice's sound, in semitones. */
    void SetPitchBend (float semitones) noexcept;

    /** Adds the voice's sound to both channels of the buffer over the given range. */
    void Render (juce::AudioBuffer<float>& output, int startSample, int numSamples,
                 const VoiceSettings& settings) noexcept;

private:
    void UpdateFrequencies (float detuneCents) noexcept;
    void SetEnvelopeShape (const juce::ADSR::Parameters& shape) noexcept;

    double sampleRate = 48000.0;
    PolyBlepOscillator lowerOscillator, upperOscillator;
    HalfbandDecimator decimator;
    LowPassFilter filter;
    juce::ADSR envelope;
    juce::ADSR::Parameters envelopeShape;
    juce::SmoothedValue<float> gain;

    int note = -1;
    float bend = 0.0f;
    float appliedDetune = -1.0f;
    float velocityAmount = 0.0f;
    float leftGain = 0.0f, rightGain = 0.0f;
    bool released = false;
    std::uint64_t order = 0;
    int samplesUntilFilterUpdate = 0;
};
