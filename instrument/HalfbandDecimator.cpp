#include "HalfbandDecimator.h"

#include <cmath>

HalfbandDecimator::HalfbandDecimator()
{
    // A windowed sinc cut at a quarter of the higher rate; the Blackman window keeps the
    // stop band some 70 dB down.
    constexpr auto pi = 3.14159265358979323846;

    for (int i = 0; i < numOddTaps; ++i)
    {
        const auto offset = 2 * i + 1;
        const auto sinc = std::sin (pi * offset / 2.0) / (pi * offset);
        const auto x = (double) (halfLength + offset) / (double) (length - 1);
        const auto window = 0.42 - 0.5 * std::cos (2.0 * pi * x) + 0.08 * std::cos (4.0 * pi * x);
        oddTaps[(size_t) i] = (float) (sinc * window);
    }
}

void HalfbandDecimator::Reset() noexcept
{
    history.fill (0.0f);
    position = 0;
}

void HalfbandDecimator::Push (float sample) noexcept
{
    // Each sample is kept twice, so the newest `length` samples are always contiguous.
    history[(size_t) position] = sample;
    history[(size_t) (position + length)] = sample;

    if (++position == length)
        position = 0;
}

float HalfbandDecimator::Process (float first, float second) noexcept
{
    Push (first);
    Push (second);

    const auto* newest = history.data() + position + length - 1;
    const auto* centre = newest - halfLength;
    auto sum = 0.5f * *centre;

    for (int i = 0; i < numOddTaps; ++i)
    {
        const auto offset = 2 * i + 1;
        sum += oddTaps[(size_t) i] * (centre[-offset] + centre[offset]);
    }

    return sum;
}
