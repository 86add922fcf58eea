#include "TarnwellVoice.h"

#include <cmath>

namespace
{
// The filter follows the envelope at this rate; tan() per sample would cost more than
// the rest of the voice.
constexpr int filterUpdateInterval = 16;
constexpr float voiceLevel = 0.2f;
constexpr float envelopeRangeOctaves = 6.0f;
}

void TarnwellVoice::Prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    envelope.setSampleRate (sampleRate);
    envelope.setParameters (envelopeShape);
    gain.reset (sampleRate, 0.005);
    Silence();
}

void TarnwellVoice::Silence() noexcept
{
    envelope.reset();
    filter.Reset();
    decimator.Reset();
    lowerOscillator.Reset();
    upperOscillator.Reset();
    gain.setCurrentAndTargetValue (0.0f);
    released = false;
    note = -1;
}

void TarnwellVoice::Start (int midiNote, float velocity, std::uint64_t startOrder,
                           const juce::ADSR::Parameters& shape) noexcept
{
    SetEnvelopeShape (shape);
    note = midiNote;
    order = startOrder;
    released = false;
    velocityAmount = velocity;
    appliedDetune = -1.0f;
    samplesUntilFilterUpdate = 0;

    // Equal-power placement: low notes a little left, high notes a little right.
    const auto pan = juce::jlimit (-1.0f, 1.0f, (float) (midiNote - 64) / 64.0f) * 0.3f;
    const auto angle = (pan + 1.0f) * juce::MathConstants<float>::pi / 4.0f;
    leftGain = std::cos (angle) * juce::MathConstants<float>::sqrt2;
    rightGain = std::sin (angle) * juce::MathConstants<float>::sqrt2;

    gain.setTargetValue (voiceLevel * (0.2f + 0.8f * velocity));
    envelope.noteOn();
}

void TarnwellVoice::Release() noexcept
{
    released = true;
    envelope.noteOff();
}

void TarnwellVoice::SetEnvelopeShape (const juce::ADSR::Parameters& shape) noexcept
{
    // Setting the envelope recomputes its release from the sustain level rather than from
    // where a release began (and with no sustain, ends it at once), so a changed shape
    // reaches only voices that are not yet released.
    if (shape.attack != envelopeShape.attack || shape.decay != envelopeShape.decay
        || shape.sustain != envelopeShape.sustain || shape.release != envelopeShape.release)
    {
        envelopeShape = shape;
        envelope.setParameters (shape);
    }
}

void TarnwellVoice::SetPitchBend (float semitones) noexcept
{
    if (semitones != bend)
    {
        bend = semitones;
        appliedDetune = -1.0f;
    }
}

void TarnwellVoice::UpdateFrequencies (float detuneCents) noexcept
{
    appliedDetune = detuneCents;
    const auto centre = 440.0 * std::pow (2.0, (note - 69 + (double) bend) / 12.0);
    const auto spread = std::pow (2.0, detuneCents / 2400.0);
    lowerOscillator.SetFrequency (centre / spread, 2.0 * sampleRate);
    upperOscillator.SetFrequency (centre * spread, 2.0 * sampleRate);
}

void TarnwellVoice::Render (juce::AudioBuffer<float>& output, int startSample, int numSamples,
                            const VoiceSettings& settings) noexcept
{
    if (! IsSounding())
        return;

    if (! released)
        SetEnvelopeShape (settings.envelope);

    if (settings.detuneCents != appliedDetune)
        UpdateFrequencies (settings.detuneCents);

    auto* left = output.getWritePointer (0, startSample);
    auto* right = output.getNumChannels() > 1 ? output.getWritePointer (1, startSample) : nullptr;

    for (int i = 0; i < numSamples; ++i)
    {
        const auto level = envelope.getNextSample();

        if (--samplesUntilFilterUpdate <= 0)
        {
            samplesUntilFilterUpdate = filterUpdateInterval;
            const auto opening = settings.envelopeAmount * envelopeRangeOctaves * level * (0.5f + 0.5f * velocityAmount);
            filter.SetParameters (settings.cutoffHertz * std::exp2 (opening), settings.resonance, sampleRate);
        }

        const auto first = 0.5f * (lowerOscillator.NextSample (settings.squareAmount)
                                   + upperOscillator.NextSample (settings.squareAmount));
        const auto second = 0.5f * (lowerOscillator.NextSample (settings.squareAmount)
                                    + upperOscillator.NextSample (settings.squareAmount));

        const auto sample = filter.Process (decimator.Process (first, second)) * level * gain.getNextValue();

        left[i] += sample * leftGain;
        if (right != nullptr)
            right[i] += sample * rightGain;
    }

    if (! envelope.isActive())
        Silence();
}
