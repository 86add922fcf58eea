#pragma once

/** An attack-decay-sustain-release envelope with straight segments. Its sustain level
    is given with every sample, so a held note follows the control as it moves; the
    decay ends wherever it meets that level, so raising it mid-decay never jumps.
*/
class Envelope
{
public:
    /** How far each segment moves per sample, as a share of the whole range. */
    struct Steps
    {
        float attack = 1.0f, decay = 1.0f, release = 1.0f;
    };

    void SetSteps (const Steps& newSteps) noexcept { steps = newSteps; }

    /** Starts the attack from the present level, so a note played again does not restart at zero. */
    void Start() noexcept;

    /** Falls from the present level to silence over the release time. */
    void Release() noexcept;

    void Reset() noexcept;

    bool IsActive() const noexcept { return stage != Stage::idle; }

    /** The next sample's level, given that sample's sustain level. Defined below in the
        header, so that it is inlined into the voice's loop, which calls it every sample.
    */
    float Next (float sustain) noexcept;

private:
    enum class Stage { idle, attack, decay, sustain, release };

    Stage stage = Stage::idle;
    Steps steps;
    float level = 0.0f;
    float releaseFrom = 0.0f;
};

//==============================================================================
inline float Envelope::Next (float sustain) noexcept
{
    switch (stage)
    {
        case Stage::idle:
            return 0.0f;

        case Stage::attack:
            level += steps.attack;

            if (level >= 1.0f)
            {
                level = 1.0f;
                stage = Stage::decay;
            }
            break;

        case Stage::decay:
            // The decay time is from the top to the sustain level, whatever that level is.
            level -= (1.0f - sustain) * steps.decay;

            if (level <= sustain)
            {
                level = sustain;
                stage = Stage::sustain;
            }
            break;

        case Stage::sustain:
            level = sustain;
            break;

        case Stage::release:
            level -= releaseFrom * steps.release;

            if (level <= 0.0f)
                Reset();
            break;
    }

    return level;
}
