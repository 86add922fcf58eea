#include <gtest/gtest.h>

#include "AlertScript.h"
#include "FakeMidiDevicePoller.h"
#include "MissingMidiDeviceAlerter.h"
#include "X11Display.h"

namespace
{
class MissingMidiDeviceAlert : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! display.IsOpen())
            GTEST_SKIP() << "no display: scripts/test starts one";
    }

    /** Shows the alert, lets the step act on it and returns once the call has returned. */
    void Show (MissingMidiDeviceAlerter& alerter, AlertScript& script)
    {
        alerter.ShowMissingMidiDeviceWindow();
        ASSERT_TRUE (script.HasRun());
        EXPECT_EQ (OpenAlert(), nullptr);
    }

    /** Shows the alert, plugs a new device in and ticks at once; tells whether the alert
        was still open after that tick. */
    bool StaysOpenWhenADeviceArrives (MissingMidiDeviceAlerter& alerter, const char* deviceName)
    {
        bool stillOpen = false;
        AlertScript script ([&] (juce::AlertWindow& alert)
        {
            juce::Component::SafePointer<juce::Component> shown (&alert);
            poller.present.add (juce::MidiDeviceInfo (deviceName, deviceName));
            poller.timerCallback();
            stillOpen = shown != nullptr;

            if (stillOpen)
                PressTheOnlyButton (alert);
        });
        Show (alerter, script);
        EXPECT_FALSE (script.HadToCloseTheAlert());
        return stillOpen;
    }

    X11Display display;
    FakeMidiDevicePoller poller;
};
}

TEST_F (MissingMidiDeviceAlert, IsAnInformationAlertNamingTheProductWithOneOkButton)
{
    MissingMidiDeviceAlerter alerter ("Tarnwell App", poller);
    juce::String title, buttonText;
    std::string message;
    int buttonCount = 0;
    bool isInfo = false;

    AlertScript script ([&] (juce::AlertWindow& alert)
    {
        title = alert.getName();
        isInfo = alert.getAlertType() == juce::AlertWindow::InfoIcon;
        message = MessageOf (alert);
        const auto buttons = ButtonsOf (alert);
        buttonCount = (int) buttons.size();
        buttonText = buttons.front()->getButtonText();
        PressTheOnlyButton (alert);
    });
    Show (alerter, script);

    EXPECT_EQ (title, "Missing MIDI Device");
    EXPECT_TRUE (isInfo);
    EXPECT_EQ (message, "A MIDI keyboard was not detected on startup.\n\n"
                        "Please plug a keyboard into your computer to play Tarnwell App.");
    EXPECT_EQ (buttonCount, 1);
    EXPECT_EQ (buttonText, "Ok");
}

TEST_F (MissingMidiDeviceAlert, EndsTheTextWithTheFullStopWhenTheProductNameIsEmpty)
{
    MissingMidiDeviceAlerter alerter ("", poller);
    std::string message;
    AlertScript script ([&] (juce::AlertWindow& alert)
    {
        message = MessageOf (alert);
        PressTheOnlyButton (alert);
    });
    Show (alerter, script);

    EXPECT_EQ (message, "A MIDI keyboard was not detected on startup.\n\n"
                        "Please plug a keyboard into your computer to play .");
}

TEST_F (MissingMidiDeviceAlert, OkClosesItAndTheAlerterKeepsListening)
{
    MissingMidiDeviceAlerter alerter ("Tarnwell App", poller);
    AlertScript script (&PressTheOnlyButton);
    Show (alerter, script);
    EXPECT_FALSE (script.HadToCloseTheAlert());

    EXPECT_FALSE (StaysOpenWhenADeviceArrives (alerter, "Keys"));
}

TEST_F (MissingMidiDeviceAlert, ClosesByItselfWithinAboutOnePeriodOfADeviceArrivingAndStopsListening)
{
    MissingMidiDeviceAlerter alerter ("Tarnwell App", poller);
    juce::Component::SafePointer<juce::Component> shown;
    AlertScript script ([&] (juce::AlertWindow& alert)
    {
        shown = &alert;
        poller.present.add (juce::MidiDeviceInfo ("Keys", "k1"));  // the poller's own timer will see it
    });
    Show (alerter, script);

    EXPECT_FALSE (script.HadToCloseTheAlert());
    EXPECT_LT (script.MillisecondsSinceItRan(), 2000.0);
    EXPECT_EQ (shown, nullptr);

    EXPECT_TRUE (StaysOpenWhenADeviceArrives (alerter, "Pads"));
}

TEST_F (MissingMidiDeviceAlert, IgnoresARemovedDevice)
{
    poller.present = { juce::MidiDeviceInfo ("Keys", "k1") };
    poller.timerCallback();
    MissingMidiDeviceAlerter alerter ("Tarnwell App", poller);

    bool stillOpen = false;
    AlertScript script ([&] (juce::AlertWindow& alert)
    {
        juce::Component::SafePointer<juce::Component> shown (&alert);
        poller.present.clear();
        poller.timerCallback();
        stillOpen = shown != nullptr;

        if (stillOpen)
            PressTheOnlyButton (alert);
    });
    Show (alerter, script);
    EXPECT_TRUE (stillOpen);

    EXPECT_FALSE (StaysOpenWhenADeviceArrives (alerter, "Pads"));
}
