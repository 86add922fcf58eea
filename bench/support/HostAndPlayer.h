#pragma once

#include "HandDrivenHost.h"
#include "HandDrivenPlayer.h"

/** MainComponent and juce::AudioProcessorPlayer side by side, each with its own instance
    of the instrument, both driven by hand at the same block size and rate.
*/
struct HostAndPlayer
{
    HostAndPlayer (int blockSize, double sampleRate);

    /** False, with the reason on the standard error stream under the program's name,
        when either could not be built with its instrument. */
    bool CheckReady (const char* programName) const;

    HandDrivenHost host;
    HandDrivenPlayer player;
};
