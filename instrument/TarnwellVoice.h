#pragma once

#include <cstdint>

#include <juce_audio_basics/juce_audio_basics.h>

#include "ControlFrame.h"
#include "Envelope.h"
#include "HalfbandDecimator.h"
#include "LowPassFilter.h"
#include "PolyBlepOscillator.h"

/** One voice: two detuned oscillators at twice the sample rate, brought down to it,
    through a resonant low-pass whose cutoff follows the amplitude envelope.
    The same note played again carries on from the voice's present level. A voice taken
    over by another note first fades out its old one over a few milliseconds, where it
    was panned, and starts the new note from silence.
*/
class TarnwellVoice
{
public:
    void Prepare (double newSampleRate);

    void Start (int midiNote, float velocity, std::uint64_t startOrder) noexcept;
    void Release() noexcept;
    void Silence() noexcept;

    bool IsSounding() const noexcept { return envelope.IsActive() || fadeRemaining > 0; }
    bool IsReleasing() const noexcept { return IsSounding() && released; }

    /** The note the voice plays, or will play once the note it was taken from has faded. */
    int GetNote() const noexcept { return note; }
    std::uint64_t GetStartOrder() const noexcept { return order; }

    /** Sets the pitch offset of all the voice's sound, in semitones. */
    void SetPitchBend (float semitones) noexcept;

    /** Adds the voice's sound to both channels of the buffer, over at most
        ControlFrame::maxSamples samples from startSample.
    */
    void Render (juce::AudioBuffer<float>& output, int startSample, int numSamples,
                 const ControlFrame& frame) noexcept;

private:
    void BeginNote() noexcept;
    void ResetSound() noexcept;
    void Play (float* left, float* right, int frameOffset, int numSamples, const ControlFrame& frame) noexcept;
    void UpdateFrequencies (float detuneCents) noexcept;

    double sampleRate = 48000.0;
    PolyBlepOscillator lowerOscillator, upperOscillator;
    HalfbandDecimator decimator;
    LowPassFilter filter;
    Envelope envelope;
    juce::SmoothedValue<float> gain;

    int note = -1;
    float bend = 0.0f;
    float appliedDetune = -1.0f;
    float velocityAmount = 0.0f;
    float startVelocity = 0.0f;   // of the note waiting for a fade to end, until it starts
    float leftGain = 0.0f, rightGain = 0.0f;
    bool released = false;
    std::uint64_t order = 0;
    int samplesUntilFilterUpdate = 0;
    int fadeLength = 1;
    int fadeRemaining = 0;
};
