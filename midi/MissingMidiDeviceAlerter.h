#pragma once

#include <memory>
#include <string>

#include <juce_gui_basics/juce_gui_basics.h>

#include "MidiDevicePoller.h"

/** Tells the user that no MIDI keyboard is connected, and closes that alert by itself
    when the poller reports the first MIDI input. It listens from construction until that
    first report (or its destruction); the poller must outlive it.
*/
class MissingMidiDeviceAlerter : public MidiDevicePoller::Listener
{
public:
    MissingMidiDeviceAlerter (const std::string& productName, MidiDevicePoller& poller);
    ~MissingMidiDeviceAlerter() override;

    void OnMidiDeviceAdded (const juce::MidiDeviceInfo& device) override;
    void OnMidiDeviceRemoved (const juce::MidiDeviceInfo& device) override;

    /** Shows the "Missing MIDI Device" alert in a modal loop and returns once it is
        closed, by its button or by a device arriving. It does not look at the device
        list itself: the caller decides that a keyboard is missing. */
    void ShowMissingMidiDeviceWindow();

private:
    std::unique_ptr<juce::AlertWindow> alertWindow;
    std::string productName;
    MidiDevicePoller& poller;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MissingMidiDeviceAlerter)
};
