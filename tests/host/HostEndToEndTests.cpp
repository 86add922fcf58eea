#include <gtest/gtest.h>

#include "AppUnderTest.h"
#include "X11Display.h"

namespace
{
std::string uniqueName (const std::string& name)
{
    return name + " " + std::to_string (::getpid());
}

std::string configNaming (const std::string& name)
{
    return R"({"synth": {"name": ")" + name + R"(", "filePath": "Tarnwell App.vst"}})";
}

bool machineHasSoundCards()
{
    const auto cards = juce::File ("/proc/asound/cards").loadFileAsString();
    return cards.trim().isNotEmpty() && ! cards.contains ("no soundcards");
}

class HostApp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! display.IsOpen())
            GTEST_SKIP() << "no display: scripts/test starts one";
    }

    X11Display display;
};
}

TEST_F (HostApp, ShowsTheInstrumentsEditorAtItsOwnSizeWithTheDummyAudioServer)
{
    AppInstallation installation;
    installation.WriteConfig (configNaming (uniqueName ("Tarnwell App")));
    installation.AddShippedResource ("Tarnwell App.vst");
    installation.AddShippedResource ("error.png");

    AppProcess app (installation.getExecutable(), { { "HOME", installation.getHome().getFullPathName().toStdString() } });
    const auto window = display.WaitForWindow (app.GetPid(), 20000);
    ASSERT_TRUE (window.has_value()) << app.GetStandardError();
    juce::Thread::sleep (1500);  // let the editor paint

    const auto editorSize = InstrumentEditorSize();
    ASSERT_FALSE (editorSize.isEmpty());
    EXPECT_EQ (display.GetGeometry (*window).getWidth(), editorSize.getWidth());
    EXPECT_EQ (display.GetGeometry (*window).getHeight(), editorSize.getHeight());
    EXPECT_TRUE (display.SaveScreenshot (*window, GetTestOutputFolder().getChildFile ("host-with-instrument.png")));

    display.SendCloseRequest (*window);
    EXPECT_EQ (display.WaitForExit (app, *window, 10000), std::optional<int> (0)) << app.GetStandardError();
}

TEST_F (HostApp, WithoutAnyAudioDeviceShowsOneAlertBeforeTheWindowAndEnds)
{
    if (machineHasSoundCards())
        GTEST_SKIP() << "this machine has sound hardware, so a device would open";

    AppInstallation installation;
    const auto name = uniqueName ("Tarnwell App");
    installation.WriteConfig (configNaming (name));
    installation.AddShippedResource ("Tarnwell App.vst");

    AppProcess app (installation.getExecutable(),
                    { { "HOME", installation.getHome().getFullPathName().toStdString() },
                      { "JACK_DEFAULT_SERVER", "orvo-no-server-" + std::to_string (::getpid()) } });

    const auto alert = display.WaitForWindow (app.GetPid(), 20000);
    ASSERT_TRUE (alert.has_value()) << app.GetStandardError();
    juce::Thread::sleep (1000);

    const auto windows = display.FindWindows (app.GetPid());
    ASSERT_EQ (windows.size(), 1u) << "only the alert shows, the main window comes after it";
    EXPECT_EQ (display.GetTitle (windows[0]), "Missing Audio Device");
    EXPECT_TRUE (display.SaveScreenshot (windows[0], GetTestOutputFolder().getChildFile ("missing-audio-device.png")));

    display.PressKey (windows[0], "Return");
    EXPECT_EQ (display.WaitForExit (app, windows[0], 10000), std::optional<int> (0)) << app.GetStandardError();
    EXPECT_FALSE (display.AnyKeyIsDown()) << "a key left down would repeat into the next test's windows";
}
