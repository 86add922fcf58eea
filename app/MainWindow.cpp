#include "MainWindow.h"

#include "MainComponent.h"


OrvoHostApplication::MainWindow::MainWindow (const std::string& name, const SynthConfig& configuration)
    : juce::DocumentWindow (juce::String::fromUTF8 (name.data(), (int) name.size()),
                            juce::Desktop::getInstance().getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton,
                            true),
      applicationName (name),
      config (configuration)
{
    setUsingNativeTitleBar (true);

    // Recreating the native window brings it to the front, which on X11 maps it although
    // it is still hidden: keep it off screen until it is shown, after the host is built.
    if (auto* peer = getPeer(); peer != nullptr && ! isVisible())
        peer->setVisible (false);

    setContentOwned (std::make_unique<MainComponent> (config, applicationName).release(), true);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
    fixedSizeHints = std::make_unique<FixedSizeWindowHints> (*this);
}

OrvoHostApplication::MainWindow::~MainWindow() = default;

void OrvoHostApplication::MainWindow::closeButtonPressed()
{
    if (auto* application = juce::JUCEApplication::getInstance())
        application->systemRequestedQuit();
}
