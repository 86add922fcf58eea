#include "OrvoHostApplication.h"

#include "ApplicationVersion.h"
#include "MainWindow.h"

OrvoHostApplication::OrvoHostApplication() = default;

OrvoHostApplication::~OrvoHostApplication() = default;

const juce::String OrvoHostApplication::getApplicationName()
{
    return juce::String::fromUTF8 (applicationName.data(), (int) applicationName.size());
}

const juce::String OrvoHostApplication::getApplicationVersion()
{
    return applicationVersion;
}

bool OrvoHostApplication::moreThanOneInstanceAllowed()
{
    return false;
}

void OrvoHostApplication::initialise (const juce::String&)
{
    // Before the window: its construction may already wait in an alert.
    terminationSignalWatch = std::make_unique<TerminationSignalWatch>();
    xEventQueueWatch = std::make_unique<X11EventQueueWatch>();
    mainWindow = std::make_unique<MainWindow> (applicationName, config);
}

void OrvoHostApplication::shutdown()
{
    // A second instance is shut down without ever having initialised: no window then.
    mainWindow.reset();
    xEventQueueWatch.reset();
}

void OrvoHostApplication::anotherInstanceStarted (const juce::String&)
{
}

void OrvoHostApplication::systemRequestedQuit()
{
    quit();
}
