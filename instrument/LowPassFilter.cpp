#include "LowPassFilter.h"

#include <algorithm>
#include <cmath>

float LowPassFilter::DampingFor (float resonance) noexcept
{
    return 2.0f - 1.94f * std::clamp (resonance, 0.0f, 1.0f);
}

void LowPassFilter::SetParameters (float cutoffHertz, float damping, double sampleRate) noexcept
{
    constexpr auto pi = 3.14159265358979323846;
    const auto cutoff = std::clamp ((double) cutoffHertz, 10.0, 0.45 * sampleRate);
    const auto g = (float) std::tan (pi * cutoff / sampleRate);
    a1 = 1.0f / (1.0f + g * (g + damping));
    a2 = g * a1;
    a3 = g * a2;
}

float LowPassFilter::Process (float input) noexcept
{
    const auto v3 = input - state2;
    const auto v1 = a1 * state1 + a2 * v3;
    const auto v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0f * v1 - state1;
    state2 = 2.0f * v2 - state2;
    return v2;
}
