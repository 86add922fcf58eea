// The texts a person reads from the host, compared whole: the message in the window when the instrument cannot be
// had, the alert for a missing audio device, and the product box with the version. The host runs in this process,
// its resources in this program's folder, on the JACK server that scripts/test starts.

#include <cstdlib>
#include <iostream>

#include <gtest/gtest.h>

#include "FormatHost.h"
#include "MainComponentProbe.h"
#include "TemporaryFolder.h"

namespace
{
/** Reads the first alert that shows while it lives, as the framework gives it to a screen reader ("title. message"),
    and closes it. */
class AlertReader final : private juce::Timer
{
public:
    AlertReader() { startTimer (20); }
    ~AlertReader() override { stopTimer(); }

    const std::optional<std::string>& Read() const { return read; }

private:
    void timerCallback() override
    {
        for (int i = 0; i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i)
        {
            if (auto* alert = dynamic_cast<juce::AlertWindow*> (juce::TopLevelWindow::getTopLevelWindow (i)))
            {
                stopTimer();
                read = alert->getDescription().toStdString();
                alert->exitModalState (0);
                return;
            }
        }
    }

    std::optional<std::string> read;
};

class UserTexts : public ::testing::Test
{
protected:
    // The build links the shipped instrument among this program's resources; a test may put another in its place.
    void SetUp() override
    {
        PutTheShippedInstrumentBack();
        GTEST_FLAG_SET (death_test_style, "threadsafe");  // children start afresh: this process holds threads
    }

    void TearDown() override { PutTheShippedInstrumentBack(); }

    void PutTheShippedInstrumentBack() const
    {
        bundle.deleteRecursively (false);
        GetInstrumentBundle().createSymbolicLink (bundle, true);
    }

    /** Starts the host in a child process after `before`, and expects it to say `says` in an alert, or else in its
        window. A child of its own for each start: a plug-in that failed to load stays loaded under its path, which
        the next bundle there shares, and after the missing audio device's alert the host asks the application to
        quit, which ends all message handling in a process. */
    void ExpectTheHostToSay (const std::function<void()>& before, const std::string& says) const
    {
        EXPECT_EXIT (
            {
                before();
                AlertReader reader;
                MainComponent host (config, name);
                const auto label = MainComponentProbe { host }.errorLabel().getText().toStdString();
                const auto said = reader.Read().value_or (label);
                std::cerr << "the host said: " << said << std::endl;
                std::_Exit (said == says ? 0 : 1);
            },
            ::testing::ExitedWithCode (0), "");
    }

    const juce::File resources =
        juce::File::getSpecialLocation (juce::File::currentExecutableFile).getSiblingFile ("Resources");
    const juce::File bundle = resources.getChildFile ("Tarnwell App.vst");
    const SynthConfig config;
    const std::string name = "Tarnwell App";
};
}

TEST_F (UserTexts, TheWindowSaysWhyItShowsNoInstrumentAsTheTableSays)
{
    const auto install = [this] (const char* plugin)
    {
        return [this, plugin]
        {
            const auto sharedObject = ReadFile (SharedObjectIn (GetTestPluginBundle (plugin), plugin));
            bundle.deleteFile();
            WriteFile (SharedObjectIn (bundle, "Tarnwell App"), sharedObject);
        };
    };
    const auto folder = resources.getFullPathName().toStdString();
    const auto missing = "The plugin file for " + name + " is missing from its directory. \n\n"
                         + "Please add the plugin back to your VST folder (" + folder + ")\n\n" + "or run your " + name
                         + " installer again to reinstall.";
    const auto unloadable = "The plugin for " + name + " could not be loaded: Unable to load VST-2 plug-in file\n\n"
                            + "Please run your " + name + " installer again to reinstall.";

    struct Case
    {
        const char* description;
        std::function<void()> breakIt;
        std::string says;
    };
    const Case cases[] {
        { "no bundle: where the bundle belongs", [this] { bundle.deleteFile(); }, missing },
        { "an instrument that cannot be instantiated: the framework's reason", install ("DescribedOnce"), unloadable },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        ExpectTheHostToSay (c.breakIt, c.says);
    }
}

TEST_F (UserTexts, TheProductBoxGivesTheVersionAndTheInstrument)
{
    AlertReader reader;  // before the host: an alert at its start would otherwise wait for a person
    MainComponent host (config, name);
    MainComponentProbe probe { host };
    ASSERT_NE (probe.productInfoButton(), nullptr)
        << reader.Read().value_or (probe.errorLabel().getText().toStdString());

    host.buttonClicked (probe.productInfoButton());
    EXPECT_EQ (reader.Read().value_or ("(no alert)"), "About this Program. Standalone version: 0.0.0.14\n\n"
                                                      "Copyright (c) Calvera.\nAll rights reserved.\n\n"
                                                      "Plugin information\n    Tarnwell App\n    by Calvera\n"
                                                      "    version 1.0.0.0\n");
}

TEST_F (UserTexts, WithoutAnAudioDeviceAnAlertSaysSo)
{
    if (juce::File ("/proc/asound/cards").loadFileAsString().containsIgnoreCase ("]:"))
        GTEST_SKIP() << "this machine has sound hardware, so a device would open";

    const auto alert = "Missing Audio Device. No viable audio device could be opened.\n\n"
                       + std::string ("Please connect an audio device or close any other applications that may be ")
                       + "using it \n\nthen reopen " + name + ".";
    ExpectTheHostToSay ([] { ::setenv ("JACK_DEFAULT_SERVER", "orvo-no-server", 1); }, alert);
}
