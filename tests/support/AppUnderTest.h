#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "X11Display.h"

/** The real app in a folder of its own: the built executable beside a Resources/ folder
    that holds the shipped config.json (named after this test program, so that no other
    copy on the machine shares its single-instance lock), error.png and instrument, and a
    HOME of its own. It runs on the test display and the JACK server that scripts/test
    starts. A test changes the folder as it needs before it launches the app.

    This machine has no MIDI sequencer: a stand-in, preloaded into the app, lists the
    inputs named in MidiInputs() (one MIDI keyboard unless a test says otherwise, so that
    no missing-keyboard alert shows), writes "connected <name>" to MidiLog() when the app
    listens to one, and plays the note messages written to the pipe MidiNotes().

    Every copy that has ended by the end of the test must not have hit a framework
    assertion (a sanitized build logs them on the standard error stream). */
class AppUnderTest : public ::testing::Test
{
protected:
    AppUnderTest();
    void SetUp() override;
    void TearDown() override;

    /** Starts a copy with the further environment given; it is killed at the end of the test. */
    AppProcess& Launch (const std::vector<std::pair<std::string, std::string>>& environment = {});

    /** The main window, once it is built and fixed at its size; fails the test when it does
        not come within 20 seconds (an alert instead, say). */
    std::optional<X11Display::WindowId> WaitForMainWindow (AppProcess& app);

    /** What the window manager's close button does; then waits for the exit. */
    std::optional<int> Close (AppProcess& app, X11Display::WindowId window);

    juce::File Executable() const { return folder / "OrvoHost"; }
    juce::File Resources() const { return folder / "Resources"; }
    juce::File Home() const { return folder / "home"; }
    juce::File MidiInputs() const { return folder / "midi-inputs.txt"; }
    juce::File MidiNotes() const { return folder / "midi-notes"; }
    juce::File MidiLog() const { return folder / "midi-log.txt"; }
    juce::File Settings() const { return Home().getChildFile (".config/Application Support/Calvera/Merovalt/Settings.xml"); }

    const std::string productName;
    TemporaryFolder folder;
    X11Display display;
    std::vector<std::unique_ptr<AppProcess>> launched;

    /** Time bounds stretch by this factor in a sanitized build. */
    static const int slowness;
};
