#include "MissingMidiDeviceAlerter.h"

#include "ModalLoop.h"

MissingMidiDeviceAlerter::MissingMidiDeviceAlerter (const std::string& name, MidiDevicePoller& devicePoller)
    : productName (name),
      poller (devicePoller)
{
    poller.AddListener (this);
}

MissingMidiDeviceAlerter::~MissingMidiDeviceAlerter()
{
    poller.RemoveListener (this);
}

void MissingMidiDeviceAlerter::OnMidiDeviceAdded (const juce::MidiDeviceInfo&)
{
    // Destroying the alert ends a modal loop that is running it, with the result 0.
    // Any input counts, and only the first report matters: after it we stop listening.
    alertWindow.reset();
    poller.RemoveListener (this);
}

void MissingMidiDeviceAlerter::OnMidiDeviceRemoved (const juce::MidiDeviceInfo&)
{
}

void MissingMidiDeviceAlerter::ShowMissingMidiDeviceWindow()
{
    const std::string text = "A MIDI keyboard was not detected on startup.\n\n"
                             "Please plug a keyboard into your computer to play "
                             + productName + ".";

    alertWindow = std::make_unique<juce::AlertWindow> ("Missing MIDI Device",
                                                       juce::String::fromUTF8 (text.data(), (int) text.size()),
                                                       juce::AlertWindow::InfoIcon,
                                                       nullptr);
    alertWindow->addButton ("Ok", 0, juce::KeyPress(), juce::KeyPress());

    // A nested loop on the message thread: the poller keeps ticking while it runs, so
    // a device arrival can destroy the alert from inside it.
    const auto result = ModalLoop::Run (*alertWindow);

    if (result == 0)
        alertWindow.reset();
}
