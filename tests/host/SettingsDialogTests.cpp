#include "ToolbarCommandFixture.h"

namespace
{
struct ClickCounter : juce::Button::Listener
{
    void buttonClicked (juce::Button*) override { ++clicks; }
    int clicks = 0;
};
}

TEST_F (ToolbarCommands, SettingsOpensAModalDialogWithTheSettingsPanelAsContent)
{
    auto probe = buildWithToolbar();
    auto* settingsButton = probe.toolbarFactory().GetSettingsButton();
    click (settingsButton);

    auto* dialog = probe.settingsWindow();
    ASSERT_NE (dialog, nullptr);
    EXPECT_TRUE (dialog->isCurrentlyModal());
    EXPECT_TRUE (dialog->isOnDesktop());
    EXPECT_TRUE (dialog->isVisible());
    EXPECT_EQ (dialog->getName(), "Settings");
    EXPECT_EQ (dialog->getBackgroundColour(), juce::Colours::black);
    EXPECT_EQ (dialog->getContentComponent(), &probe.settingsPanel());
    EXPECT_TRUE (dialog->isUsingNativeTitleBar());
    EXPECT_FALSE (dialog->isResizable());
    EXPECT_EQ (probe.settingsPanel().getWidth(), 800);
    EXPECT_EQ (dialog->getWidth(), 800);
    EXPECT_EQ (dialog->getHeight(), probe.settingsPanel().getHeight()) << "the dialog follows its content";
    EXPECT_TRUE (settingsButton->getToggleState());

    EXPECT_TRUE (closeWithEscape (probe));
}

TEST_F (ToolbarCommands, EscapeClosesTheSettingsDialogAndSwitchesTheButtonOffWithoutAnotherCommand)
{
    auto probe = buildWithToolbar();
    auto* settingsButton = probe.toolbarFactory().GetSettingsButton();
    ClickCounter counter;
    settingsButton->addListener (&counter);

    click (settingsButton);
    juce::Component::SafePointer<juce::DialogWindow> first (probe.settingsWindow());
    ASSERT_NE (first, nullptr);

    ASSERT_TRUE (closeWithEscape (probe));
    EXPECT_EQ (first, nullptr) << "the framework deletes a dismissed dialog";
    EXPECT_FALSE (settingsButton->getToggleState());
    EXPECT_EQ (counter.clicks, 1) << "switching the button off is no click";
    EXPECT_EQ (numberOfOpenModalComponents(), 0);
    EXPECT_EQ (probe.settingsPanel().getParentComponent(), nullptr) << "the panel outlives its dialog";

    click (settingsButton);
    auto* second = probe.settingsWindow();
    ASSERT_NE (second, nullptr);
    EXPECT_EQ (second->getContentComponent(), &probe.settingsPanel());
    EXPECT_EQ (probe.settingsPanel().getWidth(), 800);
    EXPECT_TRUE (settingsButton->getToggleState());
    EXPECT_EQ (counter.clicks, 2);

    EXPECT_TRUE (closeWithEscape (probe));
    EXPECT_FALSE (settingsButton->getToggleState());
    settingsButton->removeListener (&counter);
}

TEST_F (ToolbarCommands, TheSettingsDialogAsDrawn)
{
    auto probe = buildWithToolbar();
    click (probe.toolbarFactory().GetSettingsButton());
    auto* dialog = probe.settingsWindow();
    ASSERT_NE (dialog, nullptr);

    // Everything in the dialog is drawn by the framework, so its own rendering shows
    // what is on screen whatever other windows the display holds.
    const auto image = dialog->createComponentSnapshot (dialog->getLocalBounds(), true, 1.0f);
    const auto file = GetTestOutputFolder().getChildFile ("settings-dialog.png");
    file.deleteFile();
    juce::FileOutputStream stream (file);
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (image, stream));

    EXPECT_EQ (image.getWidth(), 800);
    EXPECT_EQ (rgbAt (image, 1, image.getHeight() - 2), 0u) << "black background";
    EXPECT_GT (countPixels (image, [] (juce::Colour c) { return c.getBrightness() > 0.5f; }), 1000)
        << "the panel's controls and labels stand out on it";

    EXPECT_TRUE (closeWithEscape (probe));
}

TEST_F (ToolbarCommands, DestroyingTheHostEndsAnOpenSettingsDialogWhoseCloseActionThenTouchesNothing)
{
    auto probe = buildWithToolbar();
    click (probe.toolbarFactory().GetSettingsButton());
    juce::Component::SafePointer<juce::DialogWindow> dialog (probe.settingsWindow());
    ASSERT_NE (dialog, nullptr);

    // A close action of our own beside the host's tells when the framework runs them.
    bool closeActionsRan = false;
    int result = -1;
    juce::ModalComponentManager::getInstance()->attachCallback (dialog.getComponent(),
        juce::ModalCallbackFunction::create ([&] (int modalResult)
        {
            closeActionsRan = true;
            result = modalResult;
        }));

    host.reset();
    EXPECT_EQ (dialog, nullptr);
    EXPECT_EQ (numberOfOpenModalComponents(), 0);
    EXPECT_FALSE (closeActionsRan) << "the framework runs close actions later, from the message loop";

    RunPendingMessages();
    EXPECT_TRUE (closeActionsRan);
    EXPECT_EQ (result, 0);
}
