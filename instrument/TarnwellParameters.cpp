#include "TarnwellParameters.h"

namespace
{
using Parameter = juce::AudioParameterFloat;
using Attributes = juce::AudioParameterFloatAttributes;

juce::String ShowSeconds (float seconds, int)
{
    return seconds < 1.0f ? juce::String (juce::roundToInt (seconds * 1000.0f)) + " ms"
                          : juce::String (seconds, 2) + " s";
}

juce::String ShowHertz (float hertz, int)
{
    return hertz < 1000.0f ? juce::String (juce::roundToInt (hertz)) + " Hz"
                           : juce::String (hertz / 1000.0f, 2) + " kHz";
}

juce::String ShowPercent (float amount, int)
{
    return juce::String (juce::roundToInt (amount * 100.0f)) + " %";
}

juce::String ShowCents (float cents, int)
{
    return juce::String (cents, 1) + " ct";
}

juce::String ShowDecibels (float decibels, int)
{
    return juce::String (decibels, 1) + " dB";
}

std::unique_ptr<Parameter> MakeTime (const char* id, const char* name, float defaultSeconds)
{
    juce::NormalisableRange<float> range (0.001f, 5.0f);
    range.setSkewForCentre (0.5f);
    return std::make_unique<Parameter> (juce::ParameterID { id, 1 }, name, range, defaultSeconds,
                                        Attributes().withLabel ("s").withStringFromValueFunction (ShowSeconds));
}

std::unique_ptr<Parameter> MakeAmount (const char* id, const char* name, float defaultAmount)
{
    return std::make_unique<Parameter> (juce::ParameterID { id, 1 }, name,
                                        juce::NormalisableRange<float> (0.0f, 1.0f), defaultAmount,
                                        Attributes().withStringFromValueFunction (ShowPercent));
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
    layout.add (MakeAmount (wave, "Wave", 0.0f),
                std::make_unique<Parameter> (juce::ParameterID { detune, 1 }, "Detune",
                                             juce::NormalisableRange<float> (0.0f, 50.0f), 8.0f,
                                             Attributes().withLabel ("ct").withStringFromValueFunction (ShowCents)),
                std::make_unique<Parameter> (juce::ParameterID { cutoff, 1 }, "Cutoff", cutoffRange, 1800.0f,
                                             Attributes().withLabel ("Hz").withStringFromValueFunction (ShowHertz)),
                MakeAmount (resonance, "Resonance", 0.3f),
                MakeAmount (envelopeAmount, "Env Amount", 0.35f),
                MakeTime (attack, "Attack", 0.005f),
                MakeTime (decay, "Decay", 0.4f),
                MakeAmount (sustain, "Sustain", 0.7f),
                MakeTime (release, "Release", 0.3f),
                std::make_unique<Parameter> (juce::ParameterID { level, 1 }, "Level",
                                             juce::NormalisableRange<float> (-48.0f, 6.0f), -6.0f,
                                             Attributes().withLabel ("dB").withStringFromValueFunction (ShowDecibels)));
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
    settings.level = juce::Decibels::decibelsToGain (levelValue.load());
    settings.envelope = { attackValue.load(), decayValue.load(), sustainValue.load(), releaseValue.load() };
    return settings;
}
