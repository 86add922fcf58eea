#include <memory>
#include <vector>

#include "ToolbarCommandFixture.h"

TEST_F (ToolbarCommands, TheStartUpRoadMakesNoToolbarItemAndStartsNoTimer)
{
    auto probe = build();

    EXPECT_EQ (probe.toolbarFactory().GetSettingsButton(), nullptr);
    EXPECT_EQ (probe.toolbarFactory().GetKeyboardButton(), nullptr);
    EXPECT_EQ (probe.toolbarFactory().GetProductInfoButton(), nullptr);
    EXPECT_FALSE (probe.ownTimerRunning());
    EXPECT_FALSE (probe.keyboard().isVisible());
}

TEST_F (ToolbarCommands, AButtonTheFactoryDidNotMakeRunsNoCommand)
{
    auto probe = build();
    AlertScript anyBox (&PressTheOnlyButton);
    const auto size = host->getBounds();

    // Before any toolbar exists the remembered buttons are null: a null button is no
    // match for them.
    host->buttonClicked (nullptr);

    // Items of the same kind made by another factory are not the host's buttons.
    ApplicationToolbarItemFactory otherFactory;
    std::vector<std::unique_ptr<juce::ToolbarItemComponent>> lookalikes;
    for (const int id : { 1, 2, 3 })
        lookalikes.emplace_back (otherFactory.createItem (id));

    juce::TextButton plainButton ("Settings");

    addToolbar (probe);
    for (auto& lookalike : lookalikes)
    {
        lookalike->addListener (host.get());
        click (lookalike.get());
    }
    plainButton.addListener (host.get());
    click (&plainButton);
    host->buttonClicked (nullptr);

    EXPECT_EQ (probe.settingsWindow(), nullptr);
    EXPECT_FALSE (probe.keyboard().isVisible());
    EXPECT_EQ (host->getBounds(), size);
    EXPECT_FALSE (anyBox.HasRun());
    EXPECT_EQ (numberOfOpenModalComponents(), 0);
}

TEST_F (ToolbarCommands, TheStartUpMidiCheckShowsTheMissingMidiDeviceAlertOncePerTimerStart)
{
    auto probe = build();

    /** Closes each missing-device alert that opens and notes whether the own timer
        still ran while it was open. */
    struct AlertCloser : juce::Timer
    {
        explicit AlertCloser (MainComponentProbe& p) : probe (p) { startTimer (10); }
        ~AlertCloser() override { stopTimer(); }

        void timerCallback() override
        {
            auto* alert = OpenAlert();
            if (alert == nullptr || alert == lastSeen)
                return;

            lastSeen = alert;
            ++alerts;
            titles.add (alert->getName());
            timerRanDuringAnAlert = timerRanDuringAnAlert || probe.ownTimerRunning();
            PressTheOnlyButton (*alert);
        }

        MainComponentProbe& probe;
        juce::Component::SafePointer<juce::AlertWindow> lastSeen;
        int alerts = 0;
        juce::StringArray titles;
        bool timerRanDuringAnAlert = false;
    } closer (probe);

    probe.startOwnTimer (1);
    ASSERT_TRUE (RunMessagesUntil ([&] { return closer.alerts == 1 && OpenAlert() == nullptr; }));
    EXPECT_FALSE (probe.ownTimerRunning()) << "so it cannot show the alert again";
    EXPECT_FALSE (closer.timerRanDuringAnAlert) << "the timer stops before the alert opens";

    probe.startOwnTimer (1);
    ASSERT_TRUE (RunMessagesUntil ([&] { return closer.alerts == 2 && OpenAlert() == nullptr; }));
    EXPECT_FALSE (probe.ownTimerRunning());

    probe.runTimerCallback();
    EXPECT_EQ (closer.alerts, 3) << "each run shows the alert: it looks at no device";
    EXPECT_EQ (closer.titles, juce::StringArray ("Missing MIDI Device", "Missing MIDI Device", "Missing MIDI Device"));
}
