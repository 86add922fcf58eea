// The real app on a JACK server of its own, which is killed while the app plays. The
// user sees the instrument go silent and nothing else; closing the window still ends the
// app at once, and the device state is saved by the usual rule: the state read at
// start-up is an explicit choice and the instrument was loaded, so it is written back.

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>

#include "AppUnderTest.h"

namespace
{
ino_t inodeOf (const juce::File& file)
{
    struct stat status {};
    return ::stat (file.getFullPathName().toRawUTF8(), &status) == 0 ? status.st_ino : 0;
}

class AudioServerFault : public AppUnderTest
{
protected:
    std::unique_ptr<AppProcess> StartServer()
    {
        auto server = std::make_unique<AppProcess> (juce::File ("/usr/bin/jackd"),
            std::vector<std::pair<std::string, std::string>> {},
            std::vector<std::string> { "-n", serverName, "-r", "-d", "dummy", "-r", "48000", "-p", "256" });

        const auto wait = "timeout 10 jack_wait -w -s '" + serverName + "' >/dev/null 2>&1";
        EXPECT_EQ (std::system (wait.c_str()), 0) << "the JACK server came up:\n" << server->GetStandardError();
        return server;
    }

    void TearDown() override
    {
        // A killed server keeps its place in JACK's registry of servers, which has room
        // for eight on the machine, and leaves its shared memory behind. A server of the
        // same name takes the place over, and stopped in order gives everything back.
        if (IsSkipped())
            return;

        auto successor = StartServer();
        successor->Kill (SIGTERM);
        successor->WaitForExit (5000);

        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator ("/dev/shm", error))
            if (entry.path().filename().string().find (serverName) != std::string::npos)
                std::filesystem::remove (entry.path(), error);
    }

    const std::string serverName = "orvo-killed-" + std::to_string (::getpid());
};
}

TEST_F (AudioServerFault, TheAppOutlivesItsKilledServerQuitsAtOnceAndSavesTheState)
{
    auto server = StartServer();
    WriteFile (Settings(), SavedDeviceState());
    const auto readAtStartUp = inodeOf (Settings());

    auto app = Start ({ { "JACK_DEFAULT_SERVER", serverName } });
    const auto window = WaitForMainWindow (*app);
    ASSERT_TRUE (window.has_value());
    EXPECT_TRUE (ShowsTheInstrument (*window));

    server->Kill (SIGKILL);
    ASSERT_TRUE (server->WaitForExit (5000).has_value());
    juce::Thread::sleep (1000);  // the app hears of it
    ASSERT_TRUE (app->IsRunning()) << app->GetStandardError();

    EXPECT_EQ (Close (*app, *window, 10000), std::optional<int> (0)) << app->GetStandardError();

    EXPECT_NE (inodeOf (Settings()), readAtStartUp) << "a new file took the place of the old one";
    const auto written = ReadFile (Settings());
    EXPECT_EQ (written.rfind ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<DEVICESETUP ", 0), 0u) << written;
    EXPECT_TRUE (written.size() > 2 && written.compare (written.size() - 2, 2, "\r\n") == 0) << written;
}
