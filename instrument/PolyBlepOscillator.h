#pragma once

/** A saw and a square oscillator sharing one phase, band-limited by polynomial
    band-limited steps: each jump of the naive waveform is smoothed over the sample
    before and after it, which pushes the aliased partials far down.
*/
class PolyBlepOscillator
{
public:
    void Reset() noexcept { phase = 0.0; }

    /** Frequencies at or above half the sample rate are held just below it. */
    void SetFrequency (double hertz, double sampleRate) noexcept;

    /** The next sample of the blend from saw (0) to square (1), within -1 to 1. */
    float NextSample (float squareAmount) noexcept;

private:
    /** The correction at a jump, for a phase within one increment of it. */
    static double Blep (double t, double increment) noexcept;

    double phase = 0.0;
    double increment = 0.0;
};
