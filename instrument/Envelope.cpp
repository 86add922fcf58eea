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
