#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

/** Watches the machine's MIDI inputs: once a second, on the message thread, compares
    the framework's list with the one seen a tick earlier and tells its listeners which
    devices came and which went. Polling starts when the poller is constructed.
*/
class MidiDevicePoller : private juce::Timer
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** A device present now that was not present at the previous tick. The device
            is valid only during the call. */
        virtual void OnMidiDeviceAdded (const juce::MidiDeviceInfo& device) = 0;

        /** A device present at the previous tick that is not present now. The device
            is valid only during the call. */
        virtual void OnMidiDeviceRemoved (const juce::MidiDeviceInfo& device) = 0;
    };

    MidiDevicePoller();
    ~MidiDevicePoller() override;

    /** Registers a listener once; registering it again does nothing. */
    void AddListener (Listener* listener);

    /** Unregisters a listener, also from inside one of its callbacks; does nothing when
        it is not registered. */
    void RemoveListener (Listener* listener);

protected:
    /** One tick: additions first, then removals, against a single read of the list. */
    void timerCallback() override;

    /** The MIDI inputs present now, in the framework's order. */
    virtual juce::Array<juce::MidiDeviceInfo> GetAvailableDevices() const;

private:
    void CallListeners (void (Listener::*callback) (const juce::MidiDeviceInfo&),
                        const juce::MidiDeviceInfo& device);

    juce::ListenerList<Listener> listeners;
    juce::Array<juce::MidiDeviceInfo> knownDevices;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MidiDevicePoller)
};
