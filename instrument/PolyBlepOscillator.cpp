#include "PolyBlepOscillator.h"

#include <algorithm>

void PolyBlepOscillator::SetFrequency (double hertz, double sampleRate) noexcept
{
    increment = std::clamp (hertz / sampleRate, 0.0, 0.49);
}

double PolyBlepOscillator::Blep (double t, double dt) noexcept
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1.0;
    }

    if (t > 1.0 - dt)
    {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }

    return 0.0;
}

float PolyBlepOscillator::NextSample (float squareAmount) noexcept
{
    const auto saw = 2.0 * phase - 1.0 - Blep (phase, increment);

    auto halfPhase = phase + 0.5;
    if (halfPhase >= 1.0)
        halfPhase -= 1.0;

    const auto square = (phase < 0.5 ? 1.0 : -1.0) + Blep (phase, increment) - Blep (halfPhase, increment);

    phase += increment;
    if (phase >= 1.0)
        phase -= 1.0;

    return (float) (saw + (double) squareAmount * (square - saw));
}
