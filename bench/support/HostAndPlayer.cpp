#include "HostAndPlayer.h"

#include <cstdio>

HostAndPlayer::HostAndPlayer (int blockSize, double sampleRate)
    : host (blockSize, sampleRate),
      player (blockSize, sampleRate)
{
}

bool HostAndPlayer::CheckReady (const char* programName) const
{
    juce::String reason;
    if (host.IsReady (reason) && player.IsReady (reason))
        return true;

    std::fprintf (stderr, "%s: %s\n", programName, reason.toRawUTF8());
    return false;
}
