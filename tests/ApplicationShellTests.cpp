#include <csignal>

#include <gtest/gtest.h>

#include "AppProcess.h"
#include "X11Display.h"

namespace
{
/** The real executable, started under the test display with a configuration of the
    test's choosing. Names carry the test's process id so that no other copy of the app
    on this machine shares their single-instance lock. */
class ApplicationShell : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (! display.IsOpen())
            GTEST_SKIP() << "no display: scripts/test starts one";
    }

    static std::string uniqueName (const std::string& name)
    {
        return name + " " + std::to_string (::getpid());
    }

    static std::string configNaming (const std::string& name)
    {
        return R"({"synth": {"name": ")" + name + R"(", "filePath": "Tarnwell App.vst"}})";
    }

    std::unique_ptr<AppProcess> start (const AppInstallation& installation)
    {
        return std::make_unique<AppProcess> (installation.getExecutable(),
            std::vector<std::pair<std::string, std::string>> { { "HOME", installation.getHome().getFullPathName().toStdString() } });
    }

    X11Display display;
};
}

TEST_F (ApplicationShell, ShowsOneFixedSizeWindowTitledWithTheConfiguredName)
{
    AppInstallation installation;
    const auto name = uniqueName ("Tarnwell App");
    installation.WriteConfig (configNaming (name));

    auto app = start (installation);
    const auto window = display.WaitForWindow (app->GetPid(), 20000);
    ASSERT_TRUE (window.has_value()) << app->GetStandardError();

    EXPECT_EQ (display.GetTitle (*window), name);

    juce::Thread::sleep (500);  // the hints are written once the window has settled
    const auto hints = display.GetSizeHints (*window);
    const auto geometry = display.GetGeometry (*window);
    ASSERT_TRUE (hints.hasMinimum && hints.hasMaximum);
    EXPECT_EQ (hints.minWidth, geometry.getWidth());
    EXPECT_EQ (hints.maxWidth, geometry.getWidth());
    EXPECT_EQ (hints.minHeight, geometry.getHeight());
    EXPECT_EQ (hints.maxHeight, geometry.getHeight());
    EXPECT_EQ (display.FindWindows (app->GetPid()).size(), 1u);
    EXPECT_EQ (app->GetStandardError().find ("Failed to load config"), std::string::npos);
}

TEST_F (ApplicationShell, CloseButtonEndsTheProcessWithExitCodeZero)
{
    AppInstallation installation;
    installation.WriteConfig (configNaming (uniqueName ("Close")));

    auto app = start (installation);
    const auto window = display.WaitForWindow (app->GetPid(), 20000);
    ASSERT_TRUE (window.has_value());

    display.SendCloseRequest (*window);
    EXPECT_EQ (display.WaitForExit (*app, *window, 10000), std::optional<int> (0)) << app->GetStandardError();
}

TEST_F (ApplicationShell, HasAnEmptyTitleWhenTheConfigurationFails)
{
    AppInstallation installation;
    installation.WriteConfig ("{}");

    auto app = start (installation);
    const auto window = display.WaitForWindow (app->GetPid(), 20000);
    ASSERT_TRUE (window.has_value());

    EXPECT_EQ (display.GetTitle (*window), "");
    EXPECT_EQ (app->GetStandardError().rfind (
                   "Failed to load config: JSONInputArchive internal error: null or empty iterator to object or array!\n", 0),
               0u) << app->GetStandardError();
}

TEST_F (ApplicationShell, SecondStartWithTheSameNameExitsAndLeavesTheFirstAlone)
{
    AppInstallation installation;
    installation.WriteConfig (configNaming (uniqueName ("Single")));

    auto first = start (installation);
    const auto window = display.WaitForWindow (first->GetPid(), 20000);
    ASSERT_TRUE (window.has_value());

    auto second = start (installation);
    EXPECT_EQ (second->WaitForExit (10000), std::optional<int> (0)) << second->GetStandardError();
    EXPECT_TRUE (display.FindWindows (second->GetPid()).empty());

    EXPECT_TRUE (first->IsRunning());
    EXPECT_EQ (display.FindWindows (first->GetPid()).size(), 1u);
}

TEST_F (ApplicationShell, CopiesWithDifferentNamesRunSideBySide)
{
    AppInstallation named, otherName, unnamed;
    named.WriteConfig (configNaming (uniqueName ("First")));
    otherName.WriteConfig (configNaming (uniqueName ("Second")));
    unnamed.WriteConfig ("not json");

    auto a = start (named);
    auto b = start (otherName);
    auto c = start (unnamed);

    for (auto* app : { a.get(), b.get(), c.get() })
    {
        EXPECT_TRUE (display.WaitForWindow (app->GetPid(), 20000).has_value());
        EXPECT_TRUE (app->IsRunning());
    }
}

TEST_F (ApplicationShell, FindsItsResourcesThroughASymbolicLinkToTheExecutable)
{
    AppInstallation installation;
    const auto name = uniqueName ("Linked");
    installation.WriteConfig (configNaming (name));

    TemporaryFolder elsewhere;
    const auto link = elsewhere / "orvo-link";
    ASSERT_TRUE (installation.getExecutable().createSymbolicLink (link, true));

    AppProcess app (link, { { "HOME", installation.getHome().getFullPathName().toStdString() } });
    const auto window = display.WaitForWindow (app.GetPid(), 20000);
    ASSERT_TRUE (window.has_value());
    EXPECT_EQ (display.GetTitle (*window), name);
}
