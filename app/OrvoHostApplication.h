#pragma once

#include <memory>
#include <string>

#include <juce_gui_basics/juce_gui_basics.h>

#include "SynthConfig.h"
#include "TerminationSignalWatch.h"
#include "X11EventQueueWatch.h"

class OrvoHostApplication;
juce::JUCEApplicationBase* juce_CreateApplication();

/** The application object: holds the configuration, the application name and the
    main window, and takes every quit road to the same shutdown.
*/
class OrvoHostApplication : public juce::JUCEApplication
{
public:
    class MainWindow;

    OrvoHostApplication();
    ~OrvoHostApplication() override;

    const juce::String getApplicationName() override;
    const juce::String getApplicationVersion() override;
    bool moreThanOneInstanceAllowed() override;
    void initialise (const juce::String& commandLine) override;
    void shutdown() override;
    void anotherInstanceStarted (const juce::String& commandLine) override;
    void systemRequestedQuit() override;

    const SynthConfig& getConfig() const noexcept { return config; }
    MainWindow* getMainWindow() const noexcept { return mainWindow.get(); }

private:
    // The factory fills the configuration and the name before the framework calls us.
    friend juce::JUCEApplicationBase* ::juce_CreateApplication();

    // Outlives the window, so that a logout during the shutdown still waits for it.
    std::unique_ptr<TerminationSignalWatch> terminationSignalWatch;
    std::unique_ptr<X11EventQueueWatch> xEventQueueWatch;
    std::unique_ptr<MainWindow> mainWindow;
    std::string applicationName;
    SynthConfig config;

    JUCE_DECLARE_NON_COPYABLE (OrvoHostApplication)
};
