#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include "ControlFrame.h"
#include "VoiceSettings.h"

/** Moves each continuous control from its value to its new one over some milliseconds,
    sample by sample on the audio thread, so that neither a jump of a control nor a slow
    turn, which arrives once per block, clicks or steps.
*/
class SmoothedControls
{
public:
    /** The next targets are taken at once, without a glide from the old values. */
    void Prepare (double sampleRate) noexcept;

    void SetTargets (const VoiceSettings& settings) noexcept;

    /** Moves on by up to ControlFrame::maxSamples samples and gives their values. */
    void Advance (int numSamples, ControlFrame& frame) noexcept;

private:
    using Smoothed = juce::SmoothedValue<float, juce::ValueSmoothingTypes::Linear>;

    double sampleRate = 48000.0;
    Smoothed squareAmount, sustain, level, detuneCents, cutoffOctaves, envelopeAmount;

    // The resonant peak grows as the inverse of the damping, so the damping glides by
    // equal ratios: a straight glide of the resonance would sound its whole change in
    // the last few milliseconds of a turn up, and the first few of a turn down.
    juce::SmoothedValue<float, juce::ValueSmoothingTypes::Multiplicative> filterDamping;
    Envelope::Steps envelopeSteps;
    bool settled = false;
};
