#include "MidiDevicePoller.h"

MidiDevicePoller::MidiDevicePoller()
{
    startTimer (1000);
}

MidiDevicePoller::~MidiDevicePoller() = default;

void MidiDevicePoller::AddListener (Listener* listener)
{
    listeners.add (listener);
}

void MidiDevicePoller::RemoveListener (Listener* listener)
{
    listeners.remove (listener);
}

void MidiDevicePoller::timerCallback()
{
    // MidiDeviceInfo compares equal exactly when name and identifier both match, which
    // is what makes two entries the same device.
    const auto presentDevices = GetAvailableDevices();

    for (const auto& device : presentDevices)
        if (! knownDevices.contains (device))
            CallListeners (&Listener::OnMidiDeviceAdded, device);

    for (const auto& device : knownDevices)
        if (! presentDevices.contains (device))
            CallListeners (&Listener::OnMidiDeviceRemoved, device);

    knownDevices = presentDevices;
}

juce::Array<juce::MidiDeviceInfo> MidiDevicePoller::GetAvailableDevices() const
{
    return juce::MidiInput::getAvailableDevices();
}

void MidiDevicePoller::CallListeners (void (Listener::*callback) (const juce::MidiDeviceInfo&),
                                      const juce::MidiDeviceInfo& device)
{
    // The member-function form walks the list with the plain iterator: last registered
    // first, re-clamped to the current size after each call, so a listener that
    // unregisters itself makes no one be skipped or called twice, and one registered
    // during the call waits for the next device. (The lambda form of call() shifts its
    // position on every removal, which is a different order.)
    listeners.call (callback, device);
}
