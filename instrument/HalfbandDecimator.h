#pragma once

#include <array>

/** Halves the sample rate: a linear-phase half-band low-pass that removes what lies
    above the lower rate's Nyquist limit, so that nothing folds back into hearing range.
*/
class HalfbandDecimator
{
public:
    HalfbandDecimator();

    void Reset() noexcept;

    /** Takes two samples at the higher rate, oldest first, and gives one at the lower. */
    float Process (float first, float second) noexcept;

private:
    // Taps either side of the centre; only the odd ones are non-zero in a half-band.
    static constexpr int halfLength = 31;
    static constexpr int length = 2 * halfLength + 1;
    static constexpr int numOddTaps = (halfLength + 1) / 2;

    std::array<float, numOddTaps> oddTaps {};
    std::array<float, 2 * length> history {};
    int position = 0;

    void Push (float sample) noexcept;
};
