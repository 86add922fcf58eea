#pragma once

#include <csignal>
#include <optional>
#include <vector>

#include <sys/types.h>

#include "TemporaryFolder.h"

/** A running program in a process group of its own, with the environment given on top of
    this one's and its standard error stream kept in a file. Killed at destruction. */
class AppProcess
{
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;
    AppProcess (const juce::File& executable, const Environment& environment, std::vector<std::string> arguments = {});
    ~AppProcess()
    {
        Kill (SIGKILL);
        WaitForExit (5000);
    }

    pid_t GetPid() const noexcept { return pid; }
    bool IsRunning() { return ! WaitForExit (0).has_value(); }

    /** The exit code, or 128 + signal number; nothing while it still runs after the timeout. */
    std::optional<int> WaitForExit (int timeoutMilliseconds);
    void Kill (int signalNumber)
    {
        if (pid > 0 && ! exitCode.has_value())
            ::kill (pid, signalNumber);
    }
    std::string GetStandardError() const { return ReadFile (outputFolder / "stderr.txt"); }

private:
    TemporaryFolder outputFolder;
    pid_t pid = -1;
    std::optional<int> exitCode;
};
