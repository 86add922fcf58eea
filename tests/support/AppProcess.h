#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

#include <juce_core/juce_core.h>

#include "TemporaryFolder.h"

/** A copy of the app folder in a temporary place: the executable (hard-linked where
    possible) beside a Resources/ folder that each test fills as it needs, and a HOME
    of its own.
*/
class AppInstallation
{
public:
    AppInstallation();

    juce::File getExecutable() const { return folder / "OrvoHost"; }
    juce::File getResources() const { return folder / "Resources"; }
    juce::File getHome() const { return folder / "home"; }
    juce::File getSettingsFile() const;

    /** Writes Resources/config.json. */
    void WriteConfig (const std::string& json) const;

    /** Puts the built app's resource of this name into Resources/ (as a symbolic link). */
    void AddShippedResource (const juce::String& name) const;

private:
    TemporaryFolder folder;
};

/** A running copy of the app, or of another program. Killed at destruction if it still runs. */
class AppProcess
{
public:
    AppProcess (const juce::File& executable,
                const std::vector<std::pair<std::string, std::string>>& environment,
                const std::vector<std::string>& arguments = {});
    ~AppProcess();

    pid_t GetPid() const noexcept { return pid; }
    bool IsRunning();

    /** The exit code, or 128 + signal number; nothing when the process still runs after
        the timeout. */
    std::optional<int> WaitForExit (int timeoutMilliseconds);

    void Kill (int signalNumber);

    /** All the process wrote to its standard error stream so far. */
    std::string GetStandardError() const;

private:
    TemporaryFolder outputFolder;
    pid_t pid = -1;
    std::optional<int> exitCode;
};
