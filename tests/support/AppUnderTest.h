#pragma once

#include <memory>

#include <unistd.h>

#include <gtest/gtest.h>

#include "X11Display.h"

/** The real app in a folder of its own, on the test display and the JACK server that
    scripts/test starts: the built executable beside a Resources/ folder with the shipped
    error.png and instrument and a config.json naming it after this test program (so that
    no other copy shares its single-instance lock), and a HOME of its own. A stand-in MIDI
    sequencer, preloaded, lists the inputs named in MidiInputs() (one keyboard unless a test
    says otherwise; read at every look, so a test can plug one in), writes "connected <name>"
    to MidiLog() when the app listens to one, and
    plays the notes written to the pipe MidiNotes(). No copy that ended may have hit a
    framework assertion (a sanitized build logs them on the standard error stream). */
class AppUnderTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    /** Starts a copy with the further environment given; it is killed at the end of the test. */
    AppProcess& Launch (const AppProcess::Environment& environment = {});
    /** The main window, built, fixed at its size and alone; else fails the test (after 20 s). */
    std::optional<X11Display::WindowId> WaitForMainWindow (AppProcess& app);
    /** What the window manager's close button does; then waits for the exit. */
    std::optional<int> Close (AppProcess& app, X11Display::WindowId window)
    {
        display.SendCloseRequest (window);
        return app.WaitForExit (10000 * slowness);
    }

    /** Puts the test plug-in of that kind (tests/plugins) where the shipped instrument was. */
    void ReplaceInstrumentWith (const juce::String& kind);

    juce::File Resources() const { return folder / "Resources"; }
    juce::File Home() const { return folder / "home"; }
    juce::File MidiInputs() const { return folder / "midi-inputs.txt"; }
    juce::File MidiNotes() const { return folder / "midi-notes"; }
    juce::File MidiLog() const { return folder / "midi-log.txt"; }
    juce::File Settings() const
    {
        return Home().getChildFile (".config/Application Support/Calvera/Merovalt/Settings.xml");
    }

    const std::string productName = "Tarnwell App " + std::to_string (::getpid());
    TemporaryFolder folder;
    X11Display display;
    std::vector<std::unique_ptr<AppProcess>> launched;
    static constexpr int slowness = ORVO_SANITIZED ? 5 : 1;  // time bounds stretch in a sanitized build
};
