#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

/** The parameters as they stand at the start of a block: the values the synth's
    controls move towards.
*/
struct VoiceSettings
{
    float squareAmount = 0.0f;     // 0 saw, 1 square
    float detuneCents = 0.0f;      // spread between the voice's two oscillators
    float cutoffHertz = 20000.0f;
    float resonance = 0.0f;        // 0 to 1
    float envelopeAmount = 0.0f;   // 0 to 1: how far the envelope opens the filter
    float level = 1.0f;            // the output gain as a factor
    juce::ADSR::Parameters envelope;
};
