#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <juce_audio_formats/juce_audio_formats.h>

#include "AppUnderTest.h"

namespace
{
constexpr int toolbarHeight = 32, keyboardHeight = 60;

/** What a person does with the app: through its toolbar, its alerts and its keyboard,
    on the test display and the tests' JACK server, with a stand-in MIDI sequencer
    where a MIDI input must exist. */
class UserRoad : public AppUnderTest
{
protected:
    void SetUp() override
    {
        AppUnderTest::SetUp();
        editor = InstrumentEditorSize();
        ASSERT_FALSE (editor.isEmpty());
        ASSERT_EQ (::mkfifo (notes.getFullPathName().toRawUTF8(), 0600), 0);
    }

    /** Starts the app; with a MIDI input of this name when one is given. */
    std::unique_ptr<AppProcess> StartWith (const std::string& midiInput = {})
    {
        WriteFile (inputs, midiInput.empty() ? "" : midiInput + "\n");
        return Start ({ { "LD_PRELOAD", ORVO_STAND_IN_MIDI_SEQUENCER },
                        { "ASAN_OPTIONS", std::string (getenv ("ASAN_OPTIONS") ? getenv ("ASAN_OPTIONS") : "") + ":verify_asan_link_order=0" },
                        { "ORVO_MIDI_INPUTS", inputs.getFullPathName().toStdString() },
                        { "ORVO_MIDI_NOTES", notes.getFullPathName().toStdString() },
                        { "ORVO_MIDI_LOG", log.getFullPathName().toStdString() } });
    }

    std::optional<X11Display::WindowId> WaitForWindowSized (AppProcess& app, int height)
    {
        return display.WaitForWindow (app.GetPid(), 20000, [this, height] (X11Display::WindowId id)
        {
            return display.GetGeometry (id).getWidth() == editor.getWidth() && display.GetGeometry (id).getHeight() == height;
        });
    }

    std::optional<X11Display::WindowId> WaitForWindowTitled (AppProcess& app, const std::string& title, int timeout = 10000)
    {
        return display.WaitForWindow (app.GetPid(), timeout, [this, &title] (X11Display::WindowId id)
        {
            return display.GetTitle (id) == title;
        });
    }

    // The toolbar's items, placed from the right: spacer, Settings, spacer, bar, spacer, keyboard.
    void ClickSettings (X11Display::WindowId window) { display.Click (window, editor.getWidth() - 28, toolbarHeight / 2); }
    void ClickKeyboard (X11Display::WindowId window) { display.Click (window, editor.getWidth() - 87, toolbarHeight / 2); }

    /** The loudest sample on the app's outputs while the action runs. */
    float PeakWhile (const std::function<void()>& action)
    {
        const auto wav = installation.getHome().getChildFile ("out.wav");
        AppProcess recorder (juce::File ("/usr/bin/jack_rec"), {}, { "-f", wav.getFullPathName().toStdString(), "-d", "2",
                                                         "OrvoHost:out_1", "OrvoHost:out_2" });
        juce::Thread::sleep (300);
        action();
        EXPECT_EQ (recorder.WaitForExit (10000), std::optional<int> (0));

        std::unique_ptr<juce::AudioFormatReader> reader (juce::WavAudioFormat().createReaderFor (wav.createInputStream().release(), true));
        if (reader == nullptr)
            return 0.0f;
        juce::Range<float> ranges[2];
        reader->readMaxLevels (0, reader->lengthInSamples, ranges, 2);
        return juce::jmax (ranges[0].getEnd(), -ranges[0].getStart(), ranges[1].getEnd(), -ranges[1].getStart());
    }

    void PlayNote() const
    {
        const auto fifo = ::open (notes.getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
        EXPECT_EQ (::write (fifo, "\x90\x3c\x64", 3), 3);
        juce::Thread::sleep (800);
        EXPECT_EQ (::write (fifo, "\x80\x3c\x00", 3), 3);
        ::close (fifo);
    }

    int Connections() const { return juce::StringArray::fromLines (juce::File (log).loadFileAsString().trim()).size(); }

    juce::Rectangle<int> editor;
    juce::File inputs = installation.getHome().getChildFile ("midi-inputs.txt");
    juce::File notes = installation.getHome().getChildFile ("midi-notes");
    juce::File log = installation.getHome().getChildFile ("midi-log.txt");
};
}

TEST_F (UserRoad, AFirstRunWarnsOfTheMissingKeyboardAndPlaysFromTheOnScreenOne)
{
    auto app = StartWith();
    const auto window = WaitForWindowSized (*app, toolbarHeight + editor.getHeight());
    ASSERT_TRUE (window.has_value()) << app->GetStandardError();

    const auto alert = WaitForWindowTitled (*app, "Missing MIDI Device");
    ASSERT_TRUE (alert.has_value()) << "the start-up MIDI check shows its alert";
    EXPECT_TRUE (display.SaveScreenshot (*window, GetTestOutputFolder().getChildFile ("first-run.png")));
    display.PressKey (*alert, "Return");
    EXPECT_TRUE (display.WaitForWindow (app->GetPid(), 5000, [this, &app] (auto) { return display.FindWindows (app->GetPid()).size() == 1; }));

    ClickKeyboard (*window);
    ASSERT_TRUE (WaitForWindowSized (*app, toolbarHeight + editor.getHeight() + keyboardHeight).has_value());
    const auto keyY = toolbarHeight + editor.getHeight() + keyboardHeight - 10;  // a white key's lower part
    EXPECT_GT (PeakWhile ([&] { display.Click (*window, editor.getWidth() / 2, keyY, 800); }), 0.01f);
    EXPECT_TRUE (display.SaveScreenshot (*window, GetTestOutputFolder().getChildFile ("keyboard-shown.png")));

    EXPECT_EQ (Close (*app, *window), std::optional<int> (0)) << app->GetStandardError();
    EXPECT_EQ (Settings().getSize(), 0) << "nothing was chosen, so nothing is written";
}

TEST_F (UserRoad, AMidiInputChosenInTheSettingsIsPlayedKeptAtLogoutAndEnabledAtTheNextStart)
{
    auto app = StartWith ("Stand-in Keyboard");
    auto window = WaitForWindowSized (*app, toolbarHeight + editor.getHeight());
    ASSERT_TRUE (window.has_value()) << app->GetStandardError();

    ClickSettings (*window);
    const auto dialog = WaitForWindowTitled (*app, "Settings");
    ASSERT_TRUE (dialog.has_value());
    EXPECT_EQ (display.GetGeometry (*dialog).getWidth(), 800);
    juce::Thread::sleep (500);
    EXPECT_TRUE (display.SaveScreenshot (*dialog, GetTestOutputFolder().getChildFile ("settings.png")));
    display.Click (*dialog, 294, 183);
    ASSERT_TRUE (display.WaitForWindow (app->GetPid(), 5000, [this] (auto) { return Connections() == 1; }))
        << "the input is enabled";
    display.PressKey (*dialog, "Escape");

    EXPECT_GT (PeakWhile ([this] { PlayNote(); }), 0.01f) << "the instrument hears the input";
    EXPECT_EQ (display.FindWindows (app->GetPid()).size(), 1u) << "with an input present no MIDI alert shows";

    app->Kill (SIGTERM);
    EXPECT_EQ (display.WaitForExit (*app, *window, 10000), std::optional<int> (0));
    EXPECT_TRUE (juce::String (ReadFile (Settings())).contains ("<MIDIINPUT name=\"Stand-in Keyboard\"")) << ReadFile (Settings());

    app = StartWith ("Stand-in Keyboard");
    window = WaitForWindowSized (*app, toolbarHeight + editor.getHeight());
    ASSERT_TRUE (window.has_value());
    EXPECT_TRUE (display.WaitForWindow (app->GetPid(), 5000, [this] (auto) { return Connections() == 2; }))
        << "the input chosen last time is enabled again";
    EXPECT_GT (PeakWhile ([this] { PlayNote(); }), 0.01f);

    ClickSettings (*window);
    ASSERT_TRUE (WaitForWindowTitled (*app, "Settings").has_value());
    app->Kill (SIGTERM);
    EXPECT_EQ (display.WaitForExit (*app, *window, 10000), std::optional<int> (0)) << "a logout ends the app with the dialog open";
    EXPECT_TRUE (juce::String (ReadFile (Settings())).contains ("<MIDIINPUT name=\"Stand-in Keyboard\""));
}

TEST_F (UserRoad, TheMidiAlertEndsWithAKeyboardPluggedInAndLetsTheCloseButtonAndALogoutThrough)
{
    enum class Ending { keyboardPluggedIn, closeButton, logout };

    for (const auto ending : { Ending::keyboardPluggedIn, Ending::closeButton, Ending::logout })
    {
        auto app = StartWith();
        const auto window = WaitForWindowSized (*app, toolbarHeight + editor.getHeight());
        ASSERT_TRUE (window.has_value()) << app->GetStandardError();
        ASSERT_TRUE (WaitForWindowTitled (*app, "Missing MIDI Device").has_value());

        if (ending == Ending::keyboardPluggedIn)
        {
            WriteFile (inputs, "Stand-in Keyboard\n");
            EXPECT_TRUE (display.WaitForWindow (app->GetPid(), 5000, [this, &app] (auto) { return display.FindWindows (app->GetPid()).size() == 1; }))
                << "the alert goes by itself";
            display.SendCloseRequest (*window);
        }
        else if (ending == Ending::closeButton)
            display.SendCloseRequest (*window);
        else
            app->Kill (SIGTERM);

        EXPECT_EQ (display.WaitForExit (*app, *window, 10000), std::optional<int> (0)) << app->GetStandardError();
    }
}
