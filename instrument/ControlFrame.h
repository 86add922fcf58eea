#pragma once

#include <array>

#include "Envelope.h"

/** The controls as the voices play them over a stretch of samples: each sample's value,
    but for the detune, which is set once for the stretch (each change costs every voice
    two powers).
*/
struct ControlFrame
{
    static constexpr int maxSamples = 64;
    using Values = std::array<float, maxSamples>;

    Values squareAmount {};     // 0 saw, 1 square
    Values sustain {};          // the envelope's sustain level
    Values level {};            // the output gain as a factor
    Values cutoffOctaves {};    // the filter's cutoff as log2 of its frequency in hertz
    Values filterDamping {};
    Values envelopeAmount {};   // 0 to 1: how far the envelope opens the filter
    float detuneCents = 0.0f;
    Envelope::Steps envelopeSteps;
};
