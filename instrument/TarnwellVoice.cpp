#include "TarnwellVoice.h"

#include <algorithm>
#include <cmath>

namespace
{
// The filter follows the envelope at this rate; tan() per sample would cost more than
// the rest of the voice.
constexpr int filterUpdateInterval = 16;
constexpr float voiceLevel = 0.2f;
constexpr float envelopeRangeOctaves = 6.0f;

// Long enough to take a full-scale note down without a click, short enough that the new
// note is not heard late.
constexpr double stealFadeSeconds = 0.004;
}

void TarnwellVoice::Prepare (double newSampleRate)
{
    sampleRate = newSampleRate;
    gain.reset (sampleRate, 0.005);
    fadeLength = juce::jmax (1, juce::roundToInt (stealFadeSeconds * sampleRate));
    Silence();
}

void TarnwellVoice::Silence() noexcept
{
    ResetSound();
    fadeRemaining = 0;
    released = false;
    note = -1;
}

void TarnwellVoice::ResetSound() noexcept
{
    envelope.Reset();
    filter.Reset();
    decimator.Reset();
    lowerOscillator.Reset();
    upperOscillator.Reset();
    gain.setCurrentAndTargetValue (0.0f);
}

void TarnwellVoice::Start (int midiNote, float velocity, std::uint64_t startOrder) noexcept
{
    // Another note sounding here fades out first; a note waiting for the fade to end is
    // simply replaced.
    const auto takesOver = fadeRemaining > 0 || (IsSounding() && midiNote != note);

    note = midiNote;
    order = startOrder;
    released = false;
    startVelocity = velocity;

    if (takesOver)
    {
        if (fadeRemaining == 0)
            fadeRemaining = fadeLength;
        return;
    }

    BeginNote();
}

void TarnwellVoice::BeginNote() noexcept
{
    velocityAmount = startVelocity;
    appliedDetune = -1.0f;
    samplesUntilFilterUpdate = 0;

    // Equal-power placement: low notes a little left, high notes a little right.
    const auto pan = juce::jlimit (-1.0f, 1.0f, (float) (note - 64) / 64.0f) * 0.3f;
    const auto angle = (pan + 1.0f) * juce::MathConstants<float>::pi / 4.0f;
    leftGain = std::cos (angle) * juce::MathConstants<float>::sqrt2;
    rightGain = std::sin (angle) * juce::MathConstants<float>::sqrt2;

    gain.setTargetValue (voiceLevel * (0.2f + 0.8f * velocityAmount));
    envelope.Start();
}

void TarnwellVoice::Release() noexcept
{
    released = true;

    // A note still waiting for the fade is dropped when the fade ends.
    if (fadeRemaining == 0)
        envelope.Release();
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
                            const ControlFrame& frame) noexcept
{
    if (! IsSounding())
        return;

    envelope.SetSteps (frame.envelopeSteps);

    auto* left = output.getWritePointer (0, startSample);
    auto* right = output.getNumChannels() > 1 ? output.getWritePointer (1, startSample) : nullptr;
    auto done = 0;

    if (fadeRemaining > 0)
    {
        done = std::min (numSamples, fadeRemaining);
        Play (left, right, 0, done, frame);

        if (fadeRemaining == 0)
        {
            ResetSound();

            if (released)
                Silence();
            else
                BeginNote();
        }
    }

    if (done < numSamples && IsSounding())
        Play (left, right, done, numSamples - done, frame);

    if (! IsSounding())
        Silence();
}

void TarnwellVoice::Play (float* left, float* right, int frameOffset, int numSamples,
                          const ControlFrame& frame) noexcept
{
    // The old note keeps its pitch while it fades.
    if (fadeRemaining == 0 && frame.detuneCents != appliedDetune)
        UpdateFrequencies (frame.detuneCents);

    for (int i = frameOffset; i < frameOffset + numSamples; ++i)
    {
        const auto index = (size_t) i;
        const auto level = envelope.Next (frame.sustain[index]);

        if (--samplesUntilFilterUpdate <= 0)
        {
            samplesUntilFilterUpdate = filterUpdateInterval;
            const auto opening = frame.envelopeAmount[index] * envelopeRangeOctaves * level * (0.5f + 0.5f * velocityAmount);
            filter.SetParameters (std::exp2 (frame.cutoffOctaves[index] + opening), frame.filterDamping[index], sampleRate);
        }

        const auto squareAmount = frame.squareAmount[index];
        const auto first = 0.5f * (lowerOscillator.NextSample (squareAmount) + upperOscillator.NextSample (squareAmount));
        const auto second = 0.5f * (lowerOscillator.NextSample (squareAmount) + upperOscillator.NextSample (squareAmount));

        auto sample = filter.Process (decimator.Process (first, second)) * level * gain.getNextValue() * frame.level[index];

        if (fadeRemaining > 0)
        {
            // An S-shaped fade: flat at both ends, so neither its start nor its end puts a corner in the sound.
            const auto x = (float) --fadeRemaining / (float) fadeLength;
            sample *= x * x * (3.0f - 2.0f * x);
        }

        left[i] += sample * leftGain;
        if (right != nullptr)
            right[i] += sample * rightGain;
    }
}
