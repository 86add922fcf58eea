#pragma once

#include <sys/types.h>

#include <juce_core/juce_core.h>

/** A JACK server with the dummy back end under a name of its own, for as long as this
    object lives: no real-time scheduling, the given rate and period.
*/
class PrivateJackServer
{
public:
    PrivateJackServer (const juce::String& name, int sampleRate, int blockSize);
    ~PrivateJackServer();

    /** True once the server answers. */
    bool IsRunning() const noexcept { return answered; }
    const juce::String& GetName() const noexcept { return name; }

private:
    const juce::String name;
    pid_t pid = -1;
    bool answered = false;

    JUCE_DECLARE_NON_COPYABLE (PrivateJackServer)
};
