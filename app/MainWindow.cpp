#include "MainWindow.h"


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
    auto content = std::make_unique<juce::Component>();
    content->setSize (800, 500);
    setContentOwned (content.release(), true);
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
