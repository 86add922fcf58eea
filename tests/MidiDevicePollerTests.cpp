#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeMidiDevicePoller.h"

namespace
{
using Log = std::vector<std::string>;

juce::MidiDeviceInfo Device (const char* name, const char* identifier)
{
    return { name, identifier };
}

/** Writes every call it receives into a log shared with other listeners, so that the
    order across listeners shows. */
class RecordingListener : public MidiDevicePoller::Listener
{
public:
    RecordingListener (std::string nameToLog, Log& sharedLog)
        : name (std::move (nameToLog)), log (sharedLog) {}

    void OnMidiDeviceAdded (const juce::MidiDeviceInfo& device) override
    {
        log.push_back (name + " added " + Describe (device));

        if (onAdded)
            onAdded();
    }

    void OnMidiDeviceRemoved (const juce::MidiDeviceInfo& device) override
    {
        log.push_back (name + " removed " + Describe (device));
    }

    std::function<void()> onAdded;

private:
    static std::string Describe (const juce::MidiDeviceInfo& device)
    {
        return (device.name + "/" + device.identifier).toStdString();
    }

    std::string name;
    Log& log;
};

class MidiDevicePollerTest : public ::testing::Test
{
protected:
    FakeMidiDevicePoller poller;
    Log log;
    RecordingListener listener { "L", log };
};
}

//==============================================================================
// What a tick reports

TEST_F (MidiDevicePollerTest, ReportsNothingWhenNoDeviceIsPresent)
{
    poller.AddListener (&listener);
    poller.timerCallback();
    poller.timerCallback();

    EXPECT_TRUE (log.empty());
}

TEST_F (MidiDevicePollerTest, ReportsTheDevicesPresentAtTheFirstTickAsAddedInListOrder)
{
    poller.AddListener (&listener);
    poller.present = { Device ("Keys", "k1"), Device ("Pads", "p1") };
    poller.timerCallback();

    EXPECT_EQ (log, (Log { "L added Keys/k1", "L added Pads/p1" }));
}

TEST_F (MidiDevicePollerTest, ReportsAChangedNameOrIdentifierAsAdditionsBeforeRemovalsInOneTick)
{
    poller.AddListener (&listener);
    poller.present = { Device ("Keys", "k1"), Device ("Pads", "p1") };
    poller.timerCallback();
    log.clear();

    poller.present = { Device ("Keys II", "k1"), Device ("Pads", "p2") };
    poller.timerCallback();

    EXPECT_EQ (log, (Log { "L added Keys II/k1", "L added Pads/p2",
                           "L removed Keys/k1", "L removed Pads/p1" }));
}

TEST_F (MidiDevicePollerTest, SeesOnlyWhatIsListedAtEachTick)
{
    poller.AddListener (&listener);
    poller.present = { Device ("Keys", "k1") };
    poller.timerCallback();
    log.clear();

    // Unplugged and plugged in again between two ticks.
    poller.present.clear();
    poller.present = { Device ("Keys", "k1") };
    poller.timerCallback();
    EXPECT_TRUE (log.empty());

    poller.present.clear();
    poller.timerCallback();
    EXPECT_EQ (log, (Log { "L removed Keys/k1" }));
}

TEST_F (MidiDevicePollerTest, ReadsTheDeviceListOncePerTick)
{
    poller.present = { Device ("Keys", "k1"), Device ("Pads", "p1") };
    poller.timerCallback();
    poller.present.clear();
    poller.timerCallback();

    EXPECT_EQ (poller.reads, 2);
}

//==============================================================================
// Who is called, and in what order

TEST_F (MidiDevicePollerTest, CallsTheLastRegisteredListenerFirst)
{
    RecordingListener second { "second", log };
    poller.AddListener (&listener);
    poller.AddListener (&second);
    poller.present = { Device ("Keys", "k1") };
    poller.timerCallback();

    EXPECT_EQ (log, (Log { "second added Keys/k1", "L added Keys/k1" }));
}

TEST_F (MidiDevicePollerTest, AListenerLeavingDuringATickIsCalledOnceWhileTheOthersHearEveryDevice)
{
    RecordingListener leaver { "leaver", log }, last { "last", log };
    leaver.onAdded = [&] { poller.RemoveListener (&leaver); };
    poller.AddListener (&listener);
    poller.AddListener (&leaver);
    poller.AddListener (&last);
    poller.present = { Device ("A", "a"), Device ("B", "b"), Device ("C", "c") };
    poller.timerCallback();

    EXPECT_EQ (log, (Log { "last added A/a", "leaver added A/a", "L added A/a",
                           "last added B/b", "L added B/b",
                           "last added C/c", "L added C/c" }));
}

TEST_F (MidiDevicePollerTest, AListenerRegisteredDuringACallHearsFromTheNextDeviceOn)
{
    RecordingListener latecomer { "latecomer", log };
    listener.onAdded = [&] { poller.AddListener (&latecomer); };
    poller.AddListener (&listener);
    poller.present = { Device ("A", "a"), Device ("B", "b") };
    poller.timerCallback();

    EXPECT_EQ (log, (Log { "L added A/a", "latecomer added B/b", "L added B/b" }));
}

TEST_F (MidiDevicePollerTest, RegistersAListenerOnceAndIgnoresRemovingAStranger)
{
    RecordingListener stranger { "stranger", log };
    poller.AddListener (&listener);
    poller.AddListener (&listener);
    poller.RemoveListener (&stranger);
    poller.present = { Device ("A", "a") };
    poller.timerCallback();
    EXPECT_EQ (log, (Log { "L added A/a" }));

    poller.RemoveListener (&listener);
    poller.present.clear();
    poller.timerCallback();
    EXPECT_EQ (log, (Log { "L added A/a" }));
}

TEST (MidiDevicePollerLifetime, CallsNoListenerWhenDestroyed)
{
    Log log;
    RecordingListener listener { "L", log };
    {
        FakeMidiDevicePoller poller;
        poller.AddListener (&listener);
        poller.present = { Device ("A", "a") };
        poller.timerCallback();
        log.clear();
    }

    EXPECT_TRUE (log.empty());
}

//==============================================================================
// The real timer

TEST_F (MidiDevicePollerTest, TicksAboutOnceASecondOnTheMessageThread)
{
    poller.AddListener (&listener);
    poller.present = { Device ("Keys", "k1") };

    EXPECT_EQ (poller.reads, 0);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (2500);

    EXPECT_GE (poller.reads, 1);
    EXPECT_LE (poller.reads, 3);
    EXPECT_EQ (poller.readsOffTheMessageThread, 0);
    EXPECT_EQ (log, (Log { "L added Keys/k1" }));
}
