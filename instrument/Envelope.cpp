#include "Envelope.h"

void Envelope::Start() noexcept
{
    stage = Stage::attack;
}

void Envelope::Release() noexcept
{
    if (stage == Stage::idle)
        return;

    // The release time is from wherever the note is now, not from the sustain level.
    stage = Stage::release;
    releaseFrom = level;
}

void Envelope::Reset() noexcept
{
    stage = Stage::idle;
    level = 0.0f;
}

float Envelope::Next (float sustain) noexcept
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
