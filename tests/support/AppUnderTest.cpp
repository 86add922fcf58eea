#include "AppUnderTest.h"

#include <sys/stat.h>

#include "FormatHost.h"

void AppUnderTest::SetUp()
{
    if (! display.IsOpen())
        GTEST_SKIP() << "no display: scripts/test starts one";

    // A hard link keeps the copy quick; /proc/self/exe then names the link's folder.
    const juce::File built (ORVO_APP_EXECUTABLE);
    if (::link (built.getFullPathName().toRawUTF8(), (folder / "OrvoHost").getFullPathName().toRawUTF8()) != 0)
        built.copyFileTo (folder / "OrvoHost");

    WriteFile (Resources().getChildFile ("config.json"),
               R"({"synth": {"name": ")" + productName + R"(", "filePath": "Tarnwell App.vst"}})");
    for (auto* name : { "Tarnwell App.vst", "error.png" })
        juce::File (ORVO_APP_RESOURCES_DIR)
            .getChildFile (name)
            .createSymbolicLink (Resources().getChildFile (name), true);
    Home().createDirectory();
    WriteFile (MidiInputs(), "Stand-in Keyboard\n");
    ::mkfifo (MidiNotes().getFullPathName().toRawUTF8(), 0600);
}

void AppUnderTest::TearDown()
{
    for (auto& app : launched)
        EXPECT_TRUE (app->IsRunning() || app->GetStandardError().find ("JUCE Assertion failure") == std::string::npos)
            << app->GetStandardError();
    launched.clear();
}

AppProcess& AppUnderTest::Launch (const AppProcess::Environment& environment)
{
    // The stand-in comes before the address sanitizer's runtime in a sanitized build.
    AppProcess::Environment variables { { "HOME", Home().getFullPathName().toStdString() },
                                        { "LD_PRELOAD", ORVO_STAND_IN_MIDI_SEQUENCER },
                                        { "ASAN_OPTIONS",
                                          juce::SystemStats::getEnvironmentVariable ("ASAN_OPTIONS", {}).toStdString()
                                              + ":verify_asan_link_order=0" },
                                        { "ORVO_MIDI_INPUTS", MidiInputs().getFullPathName().toStdString() },
                                        { "ORVO_MIDI_NOTES", MidiNotes().getFullPathName().toStdString() },
                                        { "ORVO_MIDI_LOG", MidiLog().getFullPathName().toStdString() } };
    variables.insert (variables.end(), environment.begin(), environment.end());
    launched.push_back (std::make_unique<AppProcess> (folder / "OrvoHost", variables));
    return *launched.back();
}

std::optional<X11Display::WindowId> AppUnderTest::WaitForMainWindow (AppProcess& app)
{
    const auto window = display.WaitForWindow (
        app.GetPid(), 20000 * slowness,
        [this] (auto id) { return display.GetTitle (id) == productName && display.HasFixedSize (id); });
    EXPECT_TRUE (window.has_value()) << "no main window; the app wrote:\n" << app.GetStandardError();
    EXPECT_EQ (display.FindWindows (app.GetPid()).size(), 1u) << "nothing shows but the main window";
    return window;
}

void AppUnderTest::ReplaceInstrumentWith (const juce::String& kind)
{
    const auto bundle = Resources().getChildFile ("Tarnwell App.vst");
    bundle.deleteFile();  // a link to the shipped instrument
    WriteFile (SharedObjectIn (bundle, "Tarnwell App"), ReadFile (SharedObjectIn (GetTestPluginBundle (kind), kind)));
}
