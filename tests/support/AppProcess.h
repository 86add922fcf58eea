#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

#include "TemporaryFolder.h"

/** A running program, with the environment given on top of this one's and its standard
    error stream kept in a file. Killed at destruction if it still runs. */
class AppProcess
{
public:
    AppProcess (const juce::File& executable, const std::vector<std::pair<std::string, std::string>>& environment,
                std::vector<std::string> arguments = {});
    ~AppProcess();

    pid_t GetPid() const noexcept { return pid; }
    bool IsRunning() { return ! WaitForExit (0).has_value(); }

    /** The exit code, or 128 + signal number; nothing while it still runs after the timeout. */
    std::optional<int> WaitForExit (int timeoutMilliseconds);

    void Kill (int signalNumber);

    /** All the program wrote to its standard error stream so far. */
    std::string GetStandardError() const { return ReadFile (outputFolder / "stderr.txt"); }

private:
    TemporaryFolder outputFolder;
    pid_t pid = -1;
    std::optional<int> exitCode;
};
