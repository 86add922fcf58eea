#include <csignal>
#include <functional>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "AppProcess.h"
#include "JackServer.h"
#include "X11Display.h"

#ifndef ORVO_SLOW_BUILD_FACTOR
 #define ORVO_SLOW_BUILD_FACTOR 1
#endif

// A sanitized app takes several times longer to quit (the leak check at exit among it):
// its bounds stretch by this factor, and the normal build keeps the strict ones.
constexpr int slowBuildFactor = ORVO_SLOW_BUILD_FACTOR;

namespace
{
const std::string crlf = "\r\n";
const std::string declaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";

// What the device manager holds for the test's JACK server (48 kHz, its own buffer size)
// once it has applied a saved state that names the server's playback device.
const std::string deviceManagersElement =
    R"(<DEVICESETUP deviceType="JACK" audioOutputDeviceName="system" audioInputDeviceName="")" + crlf
    + R"(             audioDeviceRate="48000.0"/>)";

const std::string writtenDocument = declaration + crlf + crlf + deviceManagersElement + crlf;

/** A saved state in a hand-written form that the app never writes itself. */
std::string savedStateTagged (const std::string& tag, const std::string& children = {})
{
    return "<?xml version=\"1.0\"?>\n<" + tag
           + " deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"\">\n"
           + children + "</" + tag + ">\n";
}

int serversStarted = 0;

/** The real app under the test display, with a HOME of its own and a JACK server of its
    own, so that the only client on that server is the app. */
class DeviceStateFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! display.IsOpen())
            GTEST_SKIP() << "no display: scripts/test starts one";

        ASSERT_TRUE (jack.IsRunning()) << "jackd with the dummy backend could not be started";
        installation.WriteConfig (R"({"synth": {"name": ")" + productName + R"(", "filePath": "Tarnwell App.vst"}})");
    }

    void installInstrument() const { installation.AddShippedResource ("Tarnwell App.vst"); }

    std::unique_ptr<AppProcess> start() const
    {
        return std::make_unique<AppProcess> (installation.getExecutable(),
            std::vector<std::pair<std::string, std::string>> {
                { "HOME", installation.getHome().getFullPathName().toStdString() },
                { "JACK_DEFAULT_SERVER", jack.GetName() } });
    }

    /** The main window, once the app has finished starting; fails the test when anything
        else (an alert) shows instead. The main window is fixed in size only once its
        content is built; before that the display may show it for a moment. */
    std::optional<X11Display::WindowId> waitForMainWindow (AppProcess& app)
    {
        const auto window = display.WaitForWindow (app.GetPid(), 20000, [this] (X11Display::WindowId candidate)
        {
            const auto hints = display.GetSizeHints (candidate);
            return display.GetTitle (candidate) != productName || (hints.hasMinimum && hints.hasMaximum);
        });
        if (! window.has_value())
        {
            ADD_FAILURE() << "no window: " << app.GetStandardError();
            return std::nullopt;
        }

        EXPECT_EQ (display.GetTitle (*window), productName) << "a message showed before the main window; the server's ports: "
                                                            << jack.ListPorts() << app.GetStandardError();
        EXPECT_EQ (display.FindWindows (app.GetPid()).size(), 1u);
        return window;
    }

    /** Starts the app, lets `whileRunning` act once the main window shows, then closes the
        window as a window manager's close button does. Returns how long the app took to
        quit after the close request, in milliseconds. */
    double runAndClose (const std::function<void (AppProcess&)>& whileRunning = {})
    {
        auto app = start();
        const auto window = waitForMainWindow (*app);
        if (! window.has_value())
            return 0.0;

        if (whileRunning)
            whileRunning (*app);

        const auto closed = juce::Time::getMillisecondCounterHiRes();
        display.SendCloseRequest (*window);
        EXPECT_EQ (display.WaitForExit (*app, *window, 10000 * slowBuildFactor), std::optional<int> (0));
        return juce::Time::getMillisecondCounterHiRes() - closed;
    }

    bool appHasOpenedTheServersOutputs() const
    {
        const auto ports = jack.ListPorts();
        return ports.find ("OrvoHost:out_1") != std::string::npos
               && ports.find ("OrvoHost:out_2") != std::string::npos;
    }

    std::vector<std::string> temporaryFilesLeft() const
    {
        std::vector<std::string> names;
        for (const auto& entry : settings.getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false, "Settings_temp*"))
            names.push_back (entry.getFileName().toStdString());
        return names;
    }

    const std::string productName = "Tarnwell App " + std::to_string (::getpid());
    X11Display display;
    JackServer jack { "orvo-state-" + std::to_string (::getpid()) + "-" + std::to_string (++serversStarted) };
    AppInstallation installation;
    const juce::File settings = installation.getSettingsFile();
};
}

//==============================================================================
TEST_F (DeviceStateFile, TheFirstStartCreatesAnEmptyFileInNewFoldersOpensTheDefaultDeviceAndLeavesTheFileEmpty)
{
    ASSERT_FALSE (installation.getHome().getChildFile (".config").exists());
    installInstrument();

    runAndClose ([this] (AppProcess&)
    {
        EXPECT_TRUE (installation.getHome().getChildFile (".config/Application Support/Calvera/Merovalt").isDirectory());
        EXPECT_TRUE (settings.existsAsFile());
        EXPECT_EQ (settings.getSize(), 0);
        EXPECT_TRUE (appHasOpenedTheServersOutputs()) << jack.ListPorts();
    });

    EXPECT_TRUE (settings.existsAsFile());
    EXPECT_EQ (settings.getSize(), 0);
}

TEST_F (DeviceStateFile, AnExitWithoutTheInstrumentNeverWritesEvenOverASavedState)
{
    const auto saved = savedStateTagged ("DEVICESETUP");
    WriteFile (settings, saved);

    runAndClose();

    EXPECT_EQ (ReadFile (settings), saved);
}

TEST_F (DeviceStateFile, MidiInputsThatAreNotConnectedAreWrittenBackInTheirOrder)
{
    installInstrument();
    WriteFile (settings, savedStateTagged ("DEVICESETUP",
                                           R"(<MIDIINPUT name="Stage Keys" identifier="gone-1"/>)" "\n"
                                           R"(<MIDIINPUT name="Pads &amp; Knobs" identifier="gone-2"/>)" "\n"));

    runAndClose();

    const auto written = juce::parseXML (settings);
    ASSERT_NE (written, nullptr) << ReadFile (settings);
    std::vector<std::pair<juce::String, juce::String>> inputs;
    for (auto* input : written->getChildWithTagNameIterator ("MIDIINPUT"))
        inputs.emplace_back (input->getStringAttribute ("name"), input->getStringAttribute ("identifier"));

    const std::vector<std::pair<juce::String, juce::String>> expected { { "Stage Keys", "gone-1" },
                                                                         { "Pads & Knobs", "gone-2" } };
    EXPECT_EQ (inputs, expected);
    EXPECT_EQ (written->getNumChildElements(), 2);
}

//==============================================================================
class SavedDeviceSetup : public DeviceStateFile,
                         public ::testing::WithParamInterface<std::string>
{
};

TEST_P (SavedDeviceSetup, IsUsedAndRewrittenAsTheDeviceManagersDocumentAtExit)
{
    installInstrument();
    WriteFile (settings, savedStateTagged (GetParam()));

    runAndClose ([this] (AppProcess&) { EXPECT_TRUE (appHasOpenedTheServersOutputs()) << jack.ListPorts(); });

    EXPECT_EQ (ReadFile (settings), writtenDocument);
    EXPECT_TRUE (temporaryFilesLeft().empty());
}

INSTANTIATE_TEST_SUITE_P (InAnyLetterCase, SavedDeviceSetup, ::testing::Values ("DEVICESETUP", "devicesetup", "DeviceSetup"));

//==============================================================================
class NoDeviceSetup : public DeviceStateFile,
                      public ::testing::WithParamInterface<std::string>
{
};

TEST_P (NoDeviceSetup, GivesTheDefaultDeviceWithoutAMessageAndLeavesTheFileAsItWas)
{
    installInstrument();
    WriteFile (settings, GetParam());

    runAndClose ([this] (AppProcess&) { EXPECT_TRUE (appHasOpenedTheServersOutputs()) << jack.ListPorts(); });

    EXPECT_EQ (ReadFile (settings), GetParam());
}

INSTANTIATE_TEST_SUITE_P (AnotherElementOrNoneReadable, NoDeviceSetup,
                          ::testing::Values (savedStateTagged ("PREFERENCES"),
                                             savedStateTagged ("DEVICESETUPS"),
                                             // cut short inside the root's start tag
                                             "<?xml version=\"1.0\"?>\n<DEVICESETUP deviceType=\"JACK\"",
                                             "<?xml version=\"1.0\"?>\n",
                                             std::string ("\x00\x01\x02 not XML", 12)));

//==============================================================================
TEST_F (DeviceStateFile, AStateNamingNoOutputDeviceGivesTheDefaultDeviceAndIsKept)
{
    installInstrument();
    WriteFile (settings, "<?xml version=\"1.0\"?>\n<DEVICESETUP deviceType=\"JACK\" "
                         "audioOutputDeviceName=\"\" audioInputDeviceName=\"\"/>\n");

    runAndClose ([this] (AppProcess&) { EXPECT_TRUE (appHasOpenedTheServersOutputs()) << jack.ListPorts(); });

    // The choice stays the user's: written back as the device manager holds it.
    EXPECT_EQ (ReadFile (settings), declaration + crlf + crlf
                                        + R"(<DEVICESETUP deviceType="JACK" audioOutputDeviceName="" audioInputDeviceName=""/>)"
                                        + crlf);
}

//==============================================================================
TEST_F (DeviceStateFile, ATargetThatCannotBeReplacedKeepsItsContentAndTheAppStillQuitsPromptly)
{
    installInstrument();
    WriteFile (settings, savedStateTagged ("DEVICESETUP"));

    // A folder with something in it cannot be renamed over, nor removed, even by root.
    const auto kept = settings.getChildFile ("kept.txt");
    const auto quitTook = runAndClose ([&] (AppProcess&)
    {
        ASSERT_TRUE (settings.deleteFile());
        WriteFile (kept, "the user's");
    });

    EXPECT_GE (quitTook, 450.0) << "five attempts, a tenth of a second apart";
    EXPECT_LT (quitTook, 3000.0 * slowBuildFactor) << "five failed attempts cost about half a second, not more";
    EXPECT_TRUE (settings.isDirectory());
    EXPECT_EQ (ReadFile (kept), "the user's");
    EXPECT_EQ (settings.getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
    EXPECT_TRUE (temporaryFilesLeft().empty());
}

TEST_F (DeviceStateFile, AnImmutableTargetKeepsItsContentAndTheAppStillQuitsPromptly)
{
    installInstrument();
    const auto saved = savedStateTagged ("DEVICESETUP");
    WriteFile (settings, saved);

    juce::ChildProcess chattr;
    if (! chattr.start (juce::StringArray { "chattr", "+i", settings.getFullPathName() }, 0)
        || ! chattr.waitForProcessToFinish (5000) || chattr.getExitCode() != 0)
        GTEST_SKIP() << "this file system or user cannot make a file immutable";

    const auto quitTook = runAndClose();

    juce::ChildProcess undo;
    undo.start (juce::StringArray { "chattr", "-i", settings.getFullPathName() }, 0);
    undo.waitForProcessToFinish (5000);

    EXPECT_GE (quitTook, 450.0) << "five attempts, a tenth of a second apart";
    EXPECT_LT (quitTook, 3000.0 * slowBuildFactor) << "five failed attempts cost about half a second, not more";
    EXPECT_EQ (ReadFile (settings), saved);
    EXPECT_TRUE (temporaryFilesLeft().empty());
}

TEST_F (DeviceStateFile, AKillAtAnyMomentOfTheExitLeavesEitherTheOldFileOrTheWholeNewOne)
{
    installInstrument();

    const auto seed = std::random_device {}();
    SCOPED_TRACE ("seed " + std::to_string (seed));
    std::mt19937 random (seed);

    // The save comes first in the tear-down and is over within a few milliseconds of the
    // close request on a quiet machine, so the kills are spread over that stretch.
    std::uniform_int_distribution<int> delayMicroseconds (0, 3000);
    int oldKept = 0, newWritten = 0;

    for (int run = 0; run < 20; ++run)
    {
        const auto old = savedStateTagged ("DEVICESETUP", "<!-- run " + std::to_string (run) + " -->\n");
        WriteFile (settings, old);

        auto app = start();
        const auto window = waitForMainWindow (*app);
        ASSERT_TRUE (window.has_value());

        display.SendCloseRequest (*window);
        std::this_thread::sleep_for (std::chrono::microseconds (delayMicroseconds (random)));
        app->Kill (SIGKILL);
        ASSERT_TRUE (app->WaitForExit (10000 * slowBuildFactor).has_value());

        const auto found = ReadFile (settings);
        if (found == old)
            ++oldKept;
        else if (found == writtenDocument)
            ++newWritten;
        else
            FAIL() << "run " << run << " left:\n" << found;
    }

    std::cout << "old file kept " << oldKept << " times, new one whole " << newWritten << " times\n";
}
