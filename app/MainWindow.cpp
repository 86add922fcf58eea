#include "MainWindow.h"

#include "MainComponent.h"

OrvoHostApplication::MainWindow::MainWindow (const std::string& name, const SynthConfig& configuration)
    : juce::DocumentWindow (juce::String::fromUTF8 (name.data(), (int) name.size()),
                            juce::Desktop::getInstance().getDefaultLookAndFeel()
                                .findColour (juce::ResizableWindow::backgroundColourId),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton,
                            false),
      applicationName (name),
      config (configuration)
{
    // The native title bar is chosen before the window goes on the desktop: switching it
    // afterwards recreates the native window and brings it to the front, which on X11
    // shows it, empty, while the host is still being built.
    setUsingNativeTitleBar (true);
    addToDesktop (getDesktopWindowStyleFlags());

    setContentOwned (std::make_unique<MainComponent> (config, applicationName).release(), true);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);

    // The framework puts the window back where it stands when it first paints. Left to
    // the first repaint, that comes after a window manager has framed the window, and can
    // catch it in the place where the frame starts out, the screen's top-left corner.
    if (auto* peer = getPeer())
        peer->performAnyPendingRepaintsNow();

    // In the same breath as the window is shown, before a window manager places it.
    fixedSizeHints = std::make_unique<FixedSizeWindowHints> (*this);
}

OrvoHostApplication::MainWindow::~MainWindow() = default;

void OrvoHostApplication::MainWindow::closeButtonPressed()
{
    if (auto* application = juce::JUCEApplication::getInstance())
        application->systemRequestedQuit();
}
