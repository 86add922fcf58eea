#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>

#include <sys/types.h>

struct _XDisplay;

/** A program started for figures, with this process's environment and its output
    dropped; ended (SIGTERM, then SIGKILL) when this object goes.
*/
class LaunchedProgram
{
public:
    explicit LaunchedProgram (const std::string& executable);
    ~LaunchedProgram();

    /** Milliseconds from the start until a top-level window of the program is mapped at
        this size, or at any size for 0 x 0, which then becomes the size found; nothing
        when the program ends first or takes 30 s. */
    std::optional<double> WaitForWindow (_XDisplay* display, std::pair<int, int>& size);

    /** The CPU time of all its threads so far, user and system, in seconds. */
    double GetCpuSeconds() const;

    double GetResidentMegabytes() const;

private:
    pid_t pid = -1;
    std::chrono::steady_clock::time_point start;
};
