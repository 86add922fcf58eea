// MainComponent's answers to its toolbar buttons and its own timer.

#include "MainComponent.h"

#include "ApplicationVersion.h"

namespace
{
constexpr int settingsWidth = 800;
constexpr int settingsHeight = 500;

// The maker's rights notice, shown between blank lines in the product information.
constexpr const char* rightsNotice = "Copyright (c) Calvera.\n"
                                     "All rights reserved.";
}

void MainComponent::buttonClicked (juce::Button* button)
{
    if (button == nullptr)
        return;

    if (button == toolbarFactory.GetSettingsButton())
        ShowSettingsWindow();
    else if (button == toolbarFactory.GetKeyboardButton())
        ToggleKeyboard();
    else if (button == toolbarFactory.GetProductInfoButton())
        ShowProductInformation();
}

void MainComponent::ShowSettingsWindow()
{
    if (audioSettingsComponent == nullptr)
        audioSettingsComponent = std::make_unique<juce::AudioDeviceSelectorComponent> (deviceManager, 0, 0, 2, 2, true, false, false, false);

    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (audioSettingsComponent.get());
    options.dialogTitle = "Settings";
    options.dialogBackgroundColour = juce::Colours::black;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;

    // The framework sizes the dialog for a border of its own (a pixel each side) before it
    // switches to the native title bar, and the panel then fills the dialog: asked for that
    // much narrower, the panel comes out at its width. It is not resized once the dialog shows:
    // a window manager may answer that resize after the dialog's first size, and the framework
    // then takes the wider size back for good.
    audioSettingsComponent->setBounds (audioSettingsComponent->getX(), audioSettingsComponent->getY(),
                                       settingsWidth - 2, settingsHeight);

    settingsWindow = options.launchAsync();

    // The dialog may end after this component is gone (the destructor ends it, and the
    // callback runs later): the callback then finds nothing to switch off.
    juce::Component::SafePointer<MainComponent> safeThis (this);
    juce::ModalComponentManager::getInstance()->attachCallback (
        settingsWindow.getComponent(),
        juce::ModalCallbackFunction::create ([safeThis] (int)
        {
            if (safeThis == nullptr)
                return;

            if (auto* settingsButton = safeThis->toolbarFactory.GetSettingsButton())
                settingsButton->setToggleState (false, juce::dontSendNotification);
        }));
}

void MainComponent::ToggleKeyboard()
{
    // Without an instrument there is nothing to play.
    if (plugin == nullptr)
        return;

    // The size first: the layout then puts the strip in the band it adds.
    const auto show = ! keyboardComponent.isVisible();
    SetContentSize (show);
    SetKeyboardVisible (show);
}

void MainComponent::ShowProductInformation()
{
    juce::String message;
    message << "Standalone version: " << applicationVersion;
    message << "\n\n" << rightsNotice << "\n\n";

    if (auto* description = pluginDescriptions.getFirst())
    {
        message << "Plugin information\n";
        message << "    " << description->descriptiveName << "\n";
        message << "    by " << description->manufacturerName << "\n";
        message << "    version " << description->version << "\n";
    }

    juce::AlertWindow::showMessageBox (juce::AlertWindow::InfoIcon, "About this Program", message, "OK", this);
}

void MainComponent::timerCallback()
{
    stopTimer();

    // A keyboard plugged in since the start spares the alert as one present at the start
    // does, also before the poller has reported it.
    if (juce::MidiInput::getAvailableDevices().isEmpty())
        missingMidiDeviceAlerter.ShowMissingMidiDeviceWindow();
}
