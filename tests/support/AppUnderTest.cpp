#include "AppUnderTest.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

const int AppUnderTest::slowness = ORVO_SANITIZED ? 5 : 1;

AppUnderTest::AppUnderTest() : productName ("Tarnwell App " + std::to_string (::getpid()))
{
}

void AppUnderTest::SetUp()
{
    if (! display.IsOpen())
        GTEST_SKIP() << "no display: scripts/test starts one";

    // A hard link keeps the copy quick; /proc/self/exe then names the link's folder.
    const juce::File built (ORVO_APP_EXECUTABLE);
    if (::link (built.getFullPathName().toRawUTF8(), Executable().getFullPathName().toRawUTF8()) != 0)
        built.copyFileTo (Executable());

    WriteFile (Resources().getChildFile ("config.json"), R"({"synth": {"name": ")" + productName + R"(", "filePath": "Tarnwell App.vst"}})");
    for (auto* name : { "Tarnwell App.vst", "error.png" })
        juce::File (ORVO_APP_RESOURCES_DIR).getChildFile (name).createSymbolicLink (Resources().getChildFile (name), true);
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

AppProcess& AppUnderTest::Launch (const std::vector<std::pair<std::string, std::string>>& environment)
{
    const char* sanitizerOptions = std::getenv ("ASAN_OPTIONS");
    std::vector<std::pair<std::string, std::string>> variables {
        { "HOME", Home().getFullPathName().toStdString() },
        { "LD_PRELOAD", ORVO_STAND_IN_MIDI_SEQUENCER },
        // The stand-in comes before the address sanitizer's runtime in a sanitized build.
        { "ASAN_OPTIONS", std::string (sanitizerOptions != nullptr ? sanitizerOptions : "") + ":verify_asan_link_order=0" },
        { "ORVO_MIDI_INPUTS", MidiInputs().getFullPathName().toStdString() },
        { "ORVO_MIDI_NOTES", MidiNotes().getFullPathName().toStdString() },
        { "ORVO_MIDI_LOG", MidiLog().getFullPathName().toStdString() } };
    for (const auto& variable : environment)
        variables.push_back (variable);
    launched.push_back (std::make_unique<AppProcess> (Executable(), variables));
    return *launched.back();
}

std::optional<X11Display::WindowId> AppUnderTest::WaitForMainWindow (AppProcess& app)
{
    const auto window = display.WaitForWindow (app.GetPid(), 20000 * slowness, [this] (auto id)
    {
        return display.GetTitle (id) == productName && display.HasFixedSize (id);
    });
    EXPECT_TRUE (window.has_value()) << "no main window; the app wrote:\n" << app.GetStandardError();
    EXPECT_EQ (display.FindWindows (app.GetPid()).size(), 1u) << "nothing shows but the main window";
    return window;
}

std::optional<int> AppUnderTest::Close (AppProcess& app, X11Display::WindowId window)
{
    display.SendCloseRequest (window);
    return display.WaitForExit (app, window, 10000 * slowness);
}
