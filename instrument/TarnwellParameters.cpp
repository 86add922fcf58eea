#include "TarnwellParameters.h"

namespace
{
using Parameter = juce::AudioParameterFloat;
using Attributes = juce::AudioParameterFloatAttributes;

std::unique_ptr<Parameter> MakeTime (const char* id, const char* name, float defaultSeconds)
{
    juce::NormalisableRange<float> range (0.001f, 5.0f);
    range.setSkewForCentre (0.5f);
    return std::make_unique<Parameter> (juce::ParameterID { id, 1 }, name, range, defaultSeconds,
                                        Attributes().withLabel ("s"));
}

const std::atomic<float>& ValueOf (const juce::AudioProcessorValueTreeState& state, const char* id)
{
    return *state.getRawParameterValue (id);
}
}

juce::AudioProcessorValueTreeState::ParameterLayout TarnwellParameters::CreateLayout()
{
    juce::NormalisableRange<float> cutoffRange (20.0f, 20000.0f);
    cutoffRange.setSkewForCentre (1000.0f);

    juce::AudioProcessorValueTreeState::ParameterLayout layout;
    layout.add (std::make_unique<Parameter> (juce::ParameterID { wave, 1 }, "Wave",
                                             juce::NormalisableRange<float> (0.0f, 1.0f), 0.0f),
                std::make_unique<Parameter> (juce::ParameterID { detune, 1 }, "Detune",
                                             juce::NormalisableRange<float> (0.0f, 50.0f), 8.0f,
                                             Attributes().withLabel ("ct")),
                std::make_unique<Parameter> (juce::ParameterID { cutoff, 1 }, "Cutoff", cutoffRange, 1800.0f,
                                             Attributes().withLabel ("Hz")),
                std::make_unique<Parameter> (juce::ParameterID { resonance, 1 }, "Resonance",
                                             juce::NormalisableRange<float> (0.0f, 1.0f), 0.3f),
                std::make_unique<Parameter> (juce::ParameterID { envelopeAmount, 1 }, "Env Amount",
                                             juce::NormalisableRange<float> (0.0f, 1.0f), 0.35f),
                MakeTime (attack, "Attack", 0.005f),
                MakeTime (decay, "Decay", 0.4f),
                std::make_unique<Parameter> (juce::ParameterID { sustain, 1 }, "Sustain",
                                             juce::NormalisableRange<float> (0.0f, 1.0f), 0.7f),
                MakeTime (release, "Release", 0.3f),
                std::make_unique<Parameter> (juce::ParameterID { level, 1 }, "Level",
                                             juce::NormalisableRange<float> (-48.0f, 6.0f), -6.0f,
                                             Attributes().withLabel ("dB")));
    return layout;
}

TarnwellParameters::TarnwellParameters (const juce::AudioProcessorValueTreeState& state)
    : waveValue (ValueOf (state, wave)),
      detuneValue (ValueOf (state, detune)),
      cutoffValue (ValueOf (state, cutoff)),
      resonanceValue (ValueOf (state, resonance)),
      envelopeAmountValue (ValueOf (state, envelopeAmount)),
      attackValue (ValueOf (state, attack)),
      decayValue (ValueOf (state, decay)),
      sustainValue (ValueOf (state, sustain)),
      releaseValue (ValueOf (state, release)),
      levelValue (ValueOf (state, level))
{
}

VoiceSettings TarnwellParameters::ReadVoiceSettings() const noexcept
{
    VoiceSettings settings;
    settings.squareAmount = waveValue.load();
    settings.detuneCents = detuneValue.load();
    settings.cutoffHertz = cutoffValue.load();
    settings.resonance = resonanceValue.load();
    settings.envelopeAmount = envelopeAmountValue.load();
    settings.envelope = { attackValue.load(), decayValue.load(), sustainValue.load(), releaseValue.load() };
    return settings;
}

float TarnwellParameters::ReadLevel() const noexcept
{
    return juce::Decibels::decibelsToGain (levelValue.load());
}
