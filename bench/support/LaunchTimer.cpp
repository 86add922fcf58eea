#include "LaunchTimer.h"

#include <chrono>
#include <csignal>
#include <thread>

#include "AppProcess.h"

namespace
{
constexpr auto timeout = std::chrono::seconds (30);

// Short enough to be far below the figures, long enough not to take the processor away
// from the program that is starting.
constexpr auto pollInterval = std::chrono::milliseconds (1);
}

LaunchTimer::LaunchTimer (X11Display& x11Display)
    : display (x11Display)
{
}

std::optional<double> LaunchTimer::Measure (const juce::File& executable, const Environment& environment,
                                            int width, int height, std::string& problem)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    AppProcess process (executable, environment);
    std::optional<double> elapsed;

    while (! elapsed.has_value() && Clock::now() - start < timeout)
    {
        for (auto window : display.FindWindows (process.GetPid()))
        {
            const auto geometry = display.GetGeometry (window);
            if (geometry.getWidth() == width && geometry.getHeight() == height)
                elapsed = std::chrono::duration<double, std::milli> (Clock::now() - start).count();
        }

        if (elapsed.has_value())
            break;

        if (! process.IsRunning())
        {
            problem = "it ended without showing its window: " + process.GetStandardError();
            return std::nullopt;
        }

        std::this_thread::sleep_for (pollInterval);
    }

    if (! elapsed.has_value())
        problem = "no window of " + std::to_string (width) + "x" + std::to_string (height) + " within the timeout";

    process.Kill (SIGTERM);
    if (! process.WaitForExit (5000).has_value())
        process.Kill (SIGKILL);
    process.WaitForExit (5000);
    return elapsed;
}
