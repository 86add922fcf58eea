// The MIDI device watch, ticked by hand on device lists that the test gives it.

#include <gtest/gtest.h>

#include "MidiDevicePoller.h"

namespace
{
using Devices = juce::Array<juce::MidiDeviceInfo>;

/** A poller that sees the devices the test lists. */
class ListedDevicesPoller final : public MidiDevicePoller
{
public:
    void Tick (const Devices& devices)
    {
        present = devices;
        timerCallback();
    }

private:
    Devices GetAvailableDevices() const override { return present; }

    Devices present;
};

/** Writes down what it hears: "+name" for a device that came, "-name" for one that went, "|" after each tick. */
struct HeardLog final : MidiDevicePoller::Listener
{
    void OnMidiDeviceAdded (const juce::MidiDeviceInfo& device) override { heard << "+" << device.name << " "; }
    void OnMidiDeviceRemoved (const juce::MidiDeviceInfo& device) override { heard << "-" << device.name << " "; }
    juce::String heard;
};
}

TEST (MidiDeviceWatch, ReportsTheDevicesThatCameAndWentAtEachTickAsTheTableSays)
{
    const juce::MidiDeviceInfo keys ("Stage Keys", "20:0"), pads ("Pads", "24:0");
    const juce::MidiDeviceInfo renamed ("Stage Keys II", "20:0"), moved ("Stage Keys", "28:0");

    struct Case
    {
        const char* description;
        std::vector<Devices> ticks;
        std::string heard;
    };
    const Case cases[] {
        { "none at the first tick", { {} }, "|" },
        { "two at the first tick, in the system's order", { { keys, pads } }, "+Stage Keys +Pads |" },
        { "one unplugged", { { keys, pads }, { pads } }, "+Stage Keys +Pads | -Stage Keys |" },
        { "all unplugged, in the order they were listed",
          { { keys, pads }, {} },
          "+Stage Keys +Pads | -Stage Keys -Pads |" },
        { "renamed: the new name comes before the old one goes",
          { { keys }, { renamed } },
          "+Stage Keys | +Stage Keys II -Stage Keys |" },
        { "the same name on another port is another device",
          { { keys }, { moved } },
          "+Stage Keys | +Stage Keys -Stage Keys |" },
        { "unplugged and plugged in again between two ticks: nothing", { { keys }, { keys } }, "+Stage Keys | |" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        ListedDevicesPoller poller;
        HeardLog log;
        poller.AddListener (&log);
        for (const auto& devices : c.ticks)
        {
            poller.Tick (devices);
            log.heard << "| ";
        }
        EXPECT_EQ (log.heard.trimEnd().toStdString(), c.heard);
        poller.RemoveListener (&log);
    }
}
