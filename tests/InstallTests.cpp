// The app as a person installs it: scripts/install to a prefix, started by the desktop
// entry's command, closed, and scripts/install --uninstall.

#include <map>
#include <set>

#include <unistd.h>

#include <gtest/gtest.h>

#include "X11Display.h"

namespace
{
constexpr int slowness = ORVO_SANITIZED ? 5 : 1;

/** Runs a program to its end; its exit code and what it wrote. */
std::pair<int, std::string> RunProgram (const juce::StringArray& arguments)
{
    juce::ChildProcess process;
    if (! process.start (arguments))
        return { -1, "could not start " + arguments[0].toStdString() };
    const auto output = process.readAllProcessOutput().toStdString();
    return { (int) process.getExitCode(), output };
}

/** scripts/install, on this build folder. */
std::pair<int, std::string> RunInstall (const juce::StringArray& arguments)
{
    juce::StringArray command { "env", "ORVO_BUILD_DIR=" ORVO_BUILD_DIR, ORVO_SOURCE_DIR "/scripts/install" };
    command.addArray (arguments);
    return RunProgram (command);
}

/** The keys of a desktop entry's main group. */
std::map<std::string, std::string> ReadDesktopEntry (const juce::File& file)
{
    std::map<std::string, std::string> keys;
    juce::StringArray lines;
    file.readLines (lines);
    for (const auto& line : lines)
        if (line.containsChar ('=') && ! line.startsWithChar ('#'))
            keys[line.upToFirstOccurrenceOf ("=", false, false).toStdString()] =
                line.fromFirstOccurrenceOf ("=", false, false).toStdString();
    return keys;
}

/** Every file and folder under the folder, by relative path. */
std::set<std::string> Content (const juce::File& folder)
{
    std::set<std::string> paths;
    for (const auto& entry : juce::RangedDirectoryIterator (folder, true, "*", juce::File::findFilesAndDirectories))
        paths.insert (entry.getFile().getRelativePathFrom (folder).toStdString());
    return paths;
}
}

// An entry that the user has beside ours stays, with its folder; the rest of the prefix
// ends up as it was. The installed copy gets a name of its own, so that its single-instance
// lock is not that of any other copy on the machine.
TEST (Install, PutsTheAppInTheMenuAndUninstallLeavesThePrefixAsItWas)
{
    X11Display display;
    if (! display.IsOpen())
        GTEST_SKIP() << "no display: scripts/test starts one";

    for (const std::string prefixName : { "plain", "with a space" })
    {
        SCOPED_TRACE (prefixName);
        TemporaryFolder folder;
        const auto prefix = folder / prefixName;
        const auto home = folder / "home";
        const auto usersEntry = prefix.getChildFile ("share/applications/someone-else.desktop");
        WriteFile (usersEntry, "[Desktop Entry]\nType=Application\nName=Someone Else\nExec=true\n");
        const auto before = Content (prefix);

        const auto [installed, installOutput] = RunInstall ({ prefix.getFullPathName() });
        ASSERT_EQ (installed, 0) << installOutput;

        const auto entryFile = prefix.getChildFile ("share/applications/" ORVO_INSTALL_NAME ".desktop");
        const auto [valid, complaints] = RunProgram ({ "desktop-file-validate", entryFile.getFullPathName() });
        EXPECT_EQ (valid, 0) << complaints;
        auto entry = ReadDesktopEntry (entryFile);
        const auto launcher = prefix.getChildFile ("bin/" ORVO_INSTALL_NAME);
        const auto exec = launcher.getFullPathName().toStdString();
        EXPECT_EQ (entry["Exec"], exec.find (' ') == std::string::npos ? exec : '"' + exec + '"');
        EXPECT_EQ (entry["Name"], ORVO_PRODUCT_NAME);
        EXPECT_EQ (entry["StartupWMClass"], ORVO_PRODUCT_NAME) << "the window's WM_CLASS is the product name";
        EXPECT_TRUE (launcher.isSymbolicLink());
        const auto icons = prefix.getChildFile ("share/icons/hicolor");
        EXPECT_TRUE (icons.getChildFile ("scalable/apps/" + entry["Icon"] + ".svg").existsAsFile());
        EXPECT_TRUE (icons.getChildFile ("256x256/apps/" + entry["Icon"] + ".png").existsAsFile());

        const auto productName = "Installed " + std::to_string (::getpid());
        WriteFile (prefix.getChildFile ("lib/" ORVO_INSTALL_NAME "/Resources/config.json"),
                   R"({"synth": {"name": ")" + productName + R"(", "filePath": "Tarnwell App.vst"}})");
        const auto midiInputs = home.getChildFile ("midi-inputs.txt");
        WriteFile (midiInputs, "Stand-in Keyboard\n");
        {
            // The entry's command, with a keyboard listed by the stand-in sequencer, so that no alert comes first.
            const juce::File command = juce::String (entry["Exec"]).unquoted();
            const auto asanOptions =
                juce::SystemStats::getEnvironmentVariable ("ASAN_OPTIONS", {}) + ":verify_asan_link_order=0";
            AppProcess app (command, { { "HOME", home.getFullPathName().toStdString() },
                                       { "LD_PRELOAD", ORVO_STAND_IN_MIDI_SEQUENCER },
                                       { "ORVO_MIDI_INPUTS", midiInputs.getFullPathName().toStdString() },
                                       { "ASAN_OPTIONS", asanOptions.toStdString() } });
            const auto window = display.WaitForWindow (app.GetPid(), 20000 * slowness,
                                                       [&] (auto id) { return display.GetTitle (id) == productName; });
            ASSERT_TRUE (window.has_value()) << "the installed app showed no window; it wrote:\n"
                                             << app.GetStandardError();
            EXPECT_EQ (RunProgram ({ "xprop", "-id", juce::String (*window), "WM_CLASS" }).second,
                       "WM_CLASS(STRING) = \"" + productName + "\", \"" + productName + "\"\n");
            display.SendCloseRequest (*window);
            EXPECT_EQ (app.WaitForExit (10000 * slowness), std::optional<int> (0)) << app.GetStandardError();
            EXPECT_EQ (app.GetStandardError().find ("JUCE Assertion failure"), std::string::npos)
                << app.GetStandardError();
        }

        const auto [uninstalled, uninstallOutput] = RunInstall ({ "--uninstall", prefix.getFullPathName() });
        EXPECT_EQ (uninstalled, 0) << uninstallOutput;
        EXPECT_EQ (Content (prefix), before);
    }
}
