#include <functional>

#include <gtest/gtest.h>

#include "FakeMidiDevicePoller.h"
#include "MissingMidiDeviceAlerter.h"
#include "X11Display.h"

namespace
{
juce::AlertWindow* OpenAlert()
{
    return dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
}

std::vector<juce::TextButton*> ButtonsOf (juce::AlertWindow& alert)
{
    std::vector<juce::TextButton*> buttons;

    for (auto* child : alert.getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
            buttons.push_back (button);

    return buttons;
}

// The framework shows the message only through the alert's accessible description,
// which it builds as the title, ". " and the message.
std::string MessageOf (juce::AlertWindow& alert)
{
    return alert.getDescription().fromFirstOccurrenceOf (alert.getName() + ". ", false, false).toStdString();
}

void PressTheOnlyButton (juce::AlertWindow& alert)
{
    ButtonsOf (alert).front()->triggerClick();
}

/** Does one thing to the alert once it is open, from inside the modal loop that shows
    it. An alert still open long after that is closed through its button, so that a
    failing test ends instead of hanging. */
class AlertScript : private juce::Timer
{
public:
    explicit AlertScript (std::function<void (juce::AlertWindow&)> stepToRun)
        : step (std::move (stepToRun))
    {
        startTimer (20);
    }

    ~AlertScript() override { stopTimer(); }

    bool HasRun() const noexcept { return ranAt > 0.0; }
    bool HadToCloseTheAlert() const noexcept { return closedByForce; }
    double MillisecondsSinceItRan() const { return juce::Time::getMillisecondCounterHiRes() - ranAt; }

private:
    void timerCallback() override
    {
        auto* alert = OpenAlert();

        if (alert == nullptr)
            return;

        if (! HasRun())
        {
            ranAt = juce::Time::getMillisecondCounterHiRes();
            step (*alert);
        }
        else if (MillisecondsSinceItRan() > 5000.0)
        {
            closedByForce = true;
            PressTheOnlyButton (*alert);
        }
    }

    std::function<void (juce::AlertWindow&)> step;
    double ranAt = 0.0;
    bool closedByForce = false;
};

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
