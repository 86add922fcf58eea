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
    // afterwards recreates the native window and brings it to the front.
    setUsingNativeTitleBar (true);

    setContentOwned (std::make_unique<MainComponent> (config, applicationName).release(), true);
    setResizable (false, false);
    centreWithSize (getWidth(), getHeight());

    // The native window is made only now, at its final size and place. Made earlier, at the
    // framework's first size, a window manager's late word on that size could be taken
    // back as the window's own, and the window stay that small.
    addToDesktop (getDesktopWindowStyleFlags());

    // The framework puts the window back where it stands when it first paints. Left to
    // the first repaint, that comes after a window manager has framed the window, and can
    // catch it in the place where the frame starts out, the screen's top-left corner: so
    // it paints before it is shown.
    if (auto* peer = getPeer())
    {
        peer->repaint (getLocalBounds());
        peer->performAnyPendingRepaintsNow();
    }

    // Before the window is shown, so that a window manager places it by these hints.
    fixedSizeHints = std::make_unique<FixedSizeWindowHints> (*this);
    setVisible (true);
}

OrvoHostApplication::MainWindow::~MainWindow() = default;

void OrvoHostApplication::MainWindow::closeButtonPressed()
{
    if (auto* application = juce::JUCEApplication::getInstance())
        application->systemRequestedQuit();
}
