#pragma once

#include "MidiDevicePoller.h"

/** A poller whose device list the test sets, since this machine lists no MIDI inputs.
    Its ticks can be run on demand; the real timer still runs whenever the message loop
    does, and reads the same list.
*/
class FakeMidiDevicePoller : public MidiDevicePoller
{
public:
    using MidiDevicePoller::timerCallback;

    /** What the framework would list now, in its order. */
    juce::Array<juce::MidiDeviceInfo> present;

    mutable int reads = 0;
    mutable int readsOffTheMessageThread = 0;

protected:
    juce::Array<juce::MidiDeviceInfo> GetAvailableDevices() const override
    {
        ++reads;

        if (! juce::MessageManager::getInstance()->isThisTheMessageThread())
            ++readsOffTheMessageThread;

        return present;
    }
};
