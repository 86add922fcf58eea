#include "SmoothedControls.h"

#include <cmath>

#include "LowPassFilter.h"

namespace
{
// Long enough that a jump over the whole range takes well over 10 ms from a tenth to
// nine tenths of its change, short enough that the knob still feels immediate.
constexpr double glideSeconds = 0.02;

// The cutoff glides in octaves, as it is heard; a full-range jump spans ten of them, of
// which only the few around the notes change the level, so it takes longer.
constexpr double cutoffGlideSeconds = 0.05;

float StepPerSample (float seconds, double sampleRate) noexcept
{
    return (float) (1.0 / (juce::jmax (0.0001, (double) seconds) * sampleRate));
}
}

void SmoothedControls::Prepare (double newSampleRate) noexcept
{
    sampleRate = newSampleRate;

    for (auto* control : { &squareAmount, &sustain, &level, &detuneCents, &envelopeAmount })
        control->reset (sampleRate, glideSeconds);

    filterDamping.reset (sampleRate, glideSeconds);
    cutoffOctaves.reset (sampleRate, cutoffGlideSeconds);
    settled = false;
}

void SmoothedControls::SetTargets (const VoiceSettings& settings) noexcept
{
    const auto octaves = std::log2 (juce::jmax (1.0f, settings.cutoffHertz));
    const auto set = [this] (auto& control, float target)
    {
        if (settled)
            control.setTargetValue (target);
        else
            control.setCurrentAndTargetValue (target);
    };

    set (squareAmount, settings.squareAmount);
    set (sustain, settings.envelope.sustain);
    set (level, settings.level);
    set (detuneCents, settings.detuneCents);
    set (cutoffOctaves, octaves);
    set (filterDamping, LowPassFilter::DampingFor (settings.resonance));
    set (envelopeAmount, settings.envelopeAmount);
    settled = true;

    // Times change no sound at once, so they are taken as they come.
    envelopeSteps = { StepPerSample (settings.envelope.attack, sampleRate),
                      StepPerSample (settings.envelope.decay, sampleRate),
                      StepPerSample (settings.envelope.release, sampleRate) };
}

void SmoothedControls::Advance (int numSamples, ControlFrame& frame) noexcept
{
    jassert (numSamples <= ControlFrame::maxSamples);

    for (int i = 0; i < numSamples; ++i)
    {
        const auto index = (size_t) i;
        frame.squareAmount[index] = squareAmount.getNextValue();
        frame.sustain[index] = sustain.getNextValue();
        frame.level[index] = level.getNextValue();
        frame.cutoffOctaves[index] = cutoffOctaves.getNextValue();
        frame.filterDamping[index] = filterDamping.getNextValue();
        frame.envelopeAmount[index] = envelopeAmount.getNextValue();
    }

    frame.detuneCents = detuneCents.skip (numSamples);
    frame.envelopeSteps = envelopeSteps;
}
