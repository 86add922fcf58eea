#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DeviceManagerProbe.h"
#include "HostFixture.h"
#include "TemporaryFolder.h"

namespace
{
const std::string declaration = R"(<?xml version="1.0" encoding="UTF-8"?>)";
const std::string someoneElses = "someone else's file";

juce::File settingsFile()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
        .getChildFile ("Application Support/Calvera/Merovalt/Settings.xml");
}

//==============================================================================
/* Takes the first temporary name that the settings save asks about, as another
   program could have done just before: the file is created the moment its existence is
   tested, so the save must see it as taken and pick another.
*/
std::atomic<bool> takingTemporaryName { false };
std::mutex probedNamesLock;
std::vector<std::string> probedTemporaryNames;

bool isTemporarySettingsName (const char* path)
{
    const auto name = juce::File (juce::CharPointer_UTF8 (path)).getFileName();
    return name.startsWith ("Settings_temp") && name.endsWith (".xml");
}
}

// Every existence test of the framework's files comes through here in this program.
extern "C" int access (const char* path, int mode) noexcept
{
    using Access = int (*) (const char*, int);
    static const auto realAccess = reinterpret_cast<Access> (::dlsym (RTLD_NEXT, "access"));

    if (isTemporarySettingsName (path))
    {
        const std::lock_guard<std::mutex> lock (probedNamesLock);
        probedTemporaryNames.push_back (path);

        if (takingTemporaryName.exchange (false))
        {
            const int file = ::open (path, O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (file >= 0)
            {
                [[maybe_unused]] const auto written = ::write (file, someoneElses.data(), someoneElses.size());
                ::close (file);
            }
        }
    }

    return realAccess (path, mode);
}

namespace
{
/** Counts, when the host releases it, the MIDI input callbacks that the device manager
    still holds. The host releases its toolbar after its destructor's own steps and
    before its MIDI collector, so this sees what the collector would be left with.
*/
class ToolbarCountingMidiCallbacks : public juce::Toolbar
{
public:
    ToolbarCountingMidiCallbacks (juce::AudioDeviceManager& devices, int& countWhenReleased)
        : deviceManager (devices), count (countWhenReleased)
    {
    }

    ~ToolbarCountingMidiCallbacks() override { count = CountAllMidiInputCallbacks (deviceManager); }

private:
    juce::AudioDeviceManager& deviceManager;
    int& count;
};

class SavedDeviceState : public Host
{
protected:
    void SetUp() override
    {
        HostResources::InstallShippedInstrument();
        settingsFile().getParentDirectory().deleteRecursively();
    }

    void TearDown() override
    {
        Host::TearDown();
        settingsFile().getParentDirectory().deleteRecursively();
    }
};
}

TEST_F (SavedDeviceState, ATakenTemporaryNameIsLeftAloneAndAnotherOneIsUsedThenRemoved)
{
    WriteFile (settingsFile(), R"(<DEVICESETUP deviceType="JACK" audioOutputDeviceName="system" audioInputDeviceName=""/>)");
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);

    {
        const std::lock_guard<std::mutex> lock (probedNamesLock);
        probedTemporaryNames.clear();
    }
    takingTemporaryName = true;
    host.reset();

    std::vector<std::string> probed;
    {
        const std::lock_guard<std::mutex> lock (probedNamesLock);
        probed = probedTemporaryNames;
    }
    ASSERT_GE (probed.size(), 2u);
    EXPECT_NE (probed[1], probed[0]);

    const juce::File taken (probed.front());
    EXPECT_EQ (ReadFile (taken), someoneElses);

    const auto folder = settingsFile().getParentDirectory();
    std::set<std::string> left;
    for (const auto& entry : folder.findChildFiles (juce::File::findFilesAndDirectories, false))
        left.insert (entry.getFileName().toStdString());
    EXPECT_EQ (left, (std::set<std::string> { "Settings.xml", taken.getFileName().toStdString() }));

    EXPECT_EQ (ReadFile (settingsFile()).substr (0, declaration.size()), declaration);
    const auto written = juce::parseXML (settingsFile());
    ASSERT_NE (written, nullptr);
    EXPECT_EQ (written->getTagName(), "DEVICESETUP");
}

TEST_F (SavedDeviceState, NoMidiCallbackIsLeftForTheCollectorWhenItIsReleased)
{
    auto probe = build();
    pumpMessages (300);
    ASSERT_EQ (CountMidiInputCallbacks (host->deviceManager, &probe.collector(), {}), 1);

    int countWhenReleased = -1;
    probe.setToolbar (std::make_unique<ToolbarCountingMidiCallbacks> (host->deviceManager, countWhenReleased));
    host.reset();

    EXPECT_EQ (countWhenReleased, 0);
}
