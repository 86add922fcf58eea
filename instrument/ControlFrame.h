#pragma once

#include <array>

#include "Envelope.h"

/** The controls as the voices play them over a few samples: those that shape the
    waveform or its level sample by sample, the filter and pitch ones once for the frame.
*/
struct ControlFrame
{
    static constexpr int maxSamples = 16;

    std::array<float, maxSamples> squareAmount {};   // 0 saw, 1 square
    std::array<float, maxSamples> sustain {};        // the envelope's sustain level
    std::array<float, maxSamples> level {};          // the output gain as a factor
    float detuneCents = 0.0f;
    float cutoffHertz = 20000.0f;
    float filterDamping = 2.0f;
    float envelopeAmount = 0.0f;
    Envelope::Steps envelopeSteps;
};
