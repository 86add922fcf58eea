// The smallest JUCE window application: one empty window and nothing else, so that the
// start-up benchmark can set the host's start-up beside the framework's own.

#include <juce_gui_basics/juce_gui_basics.h>

#include "BareWindowSize.h"

class BareWindowApplication : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return "BareWindowApp"; }
    const juce::String getApplicationVersion() override { return "1.0.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise (const juce::String&) override
    {
        window = std::make_unique<juce::DocumentWindow> ("Bare window", juce::Colours::black,
                                                         juce::DocumentWindow::closeButton, true);
        window->setUsingNativeTitleBar (true);
        window->centreWithSize (bareWindowWidth, bareWindowHeight);
        window->setVisible (true);
    }

    void shutdown() override { window.reset(); }

private:
    std::unique_ptr<juce::DocumentWindow> window;
};

START_JUCE_APPLICATION (BareWindowApplication)
