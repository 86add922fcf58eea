#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "AppProcess.h"
#include "X11Display.h"

/** The real app in an installation of its own under the test display, with the shipped
    instrument and picture and a product name that no other copy on the machine shares
    (the single-instance lock is named after it).
*/
class AppUnderTest : public ::testing::Test
{
protected:
    void SetUp() override;

    /** Starts the app with this HOME and the further environment given. */
    std::unique_ptr<AppProcess> Start (const std::vector<std::pair<std::string, std::string>>& environment = {});

    /** The app's main window once it has its size: the instrument's editor, or 800 x 500
        without an instrument. Fails the test when none comes. */
    std::optional<X11Display::WindowId> WaitForMainWindow (AppProcess& app);

    /** What the window manager's close button does; then waits for the exit. */
    std::optional<int> Close (AppProcess& app, X11Display::WindowId window, int timeoutMilliseconds = 10000);

    /** The window has the size of the instrument's editor. */
    bool ShowsTheInstrument (X11Display::WindowId window);

    juce::File Settings() const { return installation.getSettingsFile(); }

    /** A device state as the app writes it, for the JACK server the tests run. */
    static std::string SavedDeviceState();

    static constexpr int widthWithoutInstrument = 800, heightWithoutInstrument = 500;

    AppInstallation installation;
    X11Display display;
};

/** The size of the shipped instrument's editor, asked of the instrument itself. */
juce::Rectangle<int> InstrumentEditorSize();
