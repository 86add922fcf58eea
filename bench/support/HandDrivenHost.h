#pragma once

#include <memory>
#include <string>

#include "MainComponentProbe.h"

/** The application's MainComponent built in this process as the app builds it, then
    taken off its audio device so that a benchmark calls getNextAudioBlock itself, on its
    own thread, at a block size and rate of its choosing.

    Building it needs an audio device that opens (scripts/bench starts a JACK dummy
    server) and the instrument in Resources/ beside this executable (the build links it
    there).
*/
class HandDrivenHost
{
public:
    HandDrivenHost (int blockSize, double sampleRate);
    ~HandDrivenHost();

    /** False, with the reason, when the component could not be built with its instrument. */
    bool IsReady (juce::String& reason) const;

    MainComponentProbe Probe() const { return { *host }; }
    MainComponent& Component() const { return *host; }

    /** One block into the buffer, which must hold two channels of the block size. */
    void Render (juce::AudioBuffer<float>& buffer);

private:
    SynthConfig config;
    const std::string applicationName { "Tarnwell App" };
    std::unique_ptr<MainComponent> host;
    juce::String problem;
};
