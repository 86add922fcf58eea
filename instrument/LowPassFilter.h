#pragma once

/** A resonant two-pole low-pass: a state-variable filter in topology-preserving form,
    which stays stable while its cutoff moves every few samples.
*/
class LowPassFilter
{
public:
    void Reset() noexcept { state1 = state2 = 0.0f; }

    /** The damping for a resonance from 0 (none) to 1 (close to self-oscillation). */
    static float DampingFor (float resonance) noexcept;

    /** Damping 2 is a flat response; towards 0 the filter rings at its cutoff. The cutoff
        is held below the sample rate's Nyquist limit.
    */
    void SetParameters (float cutoffHertz, float damping, double sampleRate) noexcept;

    float Process (float input) noexcept;

private:
    float a1 = 1.0f, a2 = 0.0f, a3 = 0.0f;
    float state1 = 0.0f, state2 = 0.0f;
};
