// Start-up and idle cost of the app beside JUCE's own standalone wrapper of the same
// instrument, started in turn on one display and audio device (scripts/bench gives both):
// from starting the process to its window mapped at its final size; then, window open and
// no note playing, the CPU time over ten seconds and the resident memory.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

#include "AppProcess.h"
#include "Summary.h"
#include "X11Display.h"

namespace
{
using Clock = std::chrono::steady_clock;

/** Milliseconds from the start until a window of the program shows at this size, or at
    any size for an empty one, which then becomes the size found; nothing when the
    program ends first or takes 30 s. */
std::optional<double> waitForWindow (X11Display& display, AppProcess& program, Clock::time_point start, juce::Rectangle<int>& size)
{
    while (program.IsRunning() && Clock::now() - start < std::chrono::seconds (30))
    {
        for (auto window : display.FindWindows (program.GetPid()))
            if (const auto found = display.GetGeometry (window).withZeroOrigin(); size.isEmpty() || found == size)
            {
                size = found;
                return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
            }

        // Short beside the figures, long enough to leave the processor to the program.
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }
    return std::nullopt;
}

/** The CPU time of all its threads so far, user and system, in seconds. */
double cpuSeconds (pid_t pid)
{
    clockid_t clock {};
    timespec time {};
    if (clock_getcpuclockid (pid, &clock) != 0 || clock_gettime (clock, &time) != 0)
        return 0.0;
    return (double) time.tv_sec + (double) time.tv_nsec * 1.0e-9;
}

double residentMegabytes (pid_t pid)
{
    long pages = 0, residentPages = 0;
    std::ifstream ("/proc/" + std::to_string (pid) + "/statm") >> pages >> residentPages;
    return (double) residentPages * (double) sysconf (_SC_PAGESIZE) / (1024.0 * 1024.0);
}

constexpr int idleSeconds = 10;

// Long enough for what a program does once after its window shows (first paints, the
// audio device's first change messages, one-shot timers) to be over.
constexpr auto settleTime = std::chrono::seconds (3);

struct Candidate
{
    const char* name;
    juce::File executable;
    juce::Rectangle<int> windowSize {};
    std::vector<double> milliseconds {};
    double idleCpuPercent = 0, residentMegabytes = 0;
};

/** One start: the first learns the size its window settles at; later ones time the start
    until its window shows at that size, or measure the idle cost after it. */
bool launch (X11Display& display, Candidate& candidate, const AppProcess::Environment& environment, bool measureIdle)
{
    const auto start = Clock::now();
    AppProcess program (candidate.executable, environment);
    auto size = candidate.windowSize;
    const auto elapsed = waitForWindow (display, program, start, size);
    if (! elapsed.has_value())
    {
        // The app runs once per product name: a copy already running makes it end at once.
        std::fprintf (stderr, "StartupTimeBenchmark: %s showed no window at %s (is a copy running already?)\n%s",
                      candidate.name, size.toString().toRawUTF8(), program.GetStandardError().c_str());
        return false;
    }

    if (! candidate.windowSize.isEmpty() && ! measureIdle)
    {
        candidate.milliseconds.push_back (*elapsed);
        return true;
    }

    std::this_thread::sleep_for (settleTime);
    if (candidate.windowSize.isEmpty())
        return waitForWindow (display, program, Clock::now(), candidate.windowSize).has_value();

    const auto before = cpuSeconds (program.GetPid());
    std::this_thread::sleep_for (std::chrono::seconds (idleSeconds));
    candidate.idleCpuPercent = 100.0 * (cpuSeconds (program.GetPid()) - before) / idleSeconds;
    candidate.residentMegabytes = residentMegabytes (program.GetPid());
    return true;
}
}

int main()
{
    X11Display display;
    if (! display.IsOpen())
    {
        std::fprintf (stderr, "StartupTimeBenchmark: no display (run through scripts/bench)\n");
        return 1;
    }

    // Settings live under HOME: a HOME of their own leaves the user's alone.
    const TemporaryFolder home;
    const AppProcess::Environment environment { { "HOME", (home / "home").getFullPathName().toStdString() } };
    std::vector<Candidate> candidates { { "the app", juce::File (ORVO_APP_EXECUTABLE) },
                                        { "JUCE's standalone wrapper", juce::File (ORVO_STANDALONE_WRAPPER_EXECUTABLE) } };
    const auto* launchesText = std::getenv ("ORVO_BENCH_LAUNCHES");
    const auto launches = launchesText != nullptr && std::atoi (launchesText) > 0 ? std::atoi (launchesText) : 10;

    // The first start of each, unmeasured, also reads its files from disk.
    auto measured = true;
    for (int launchNumber = -1; launchNumber <= launches; ++launchNumber)
        for (auto& candidate : candidates)
            measured = measured && launch (display, candidate, environment, launchNumber == launches);
    if (! measured)
        return 1;

    std::printf ("start-up, from starting the process to its window mapped at its final size, %d launches each"
                 " in turn after one unmeasured; idle, %d s with the window open and no note, from %d s after"
                 " it showed:\n", launches, idleSeconds, (int) settleTime.count());
    for (const auto& c : candidates)
        std::printf ("  %-26s (%dx%d): start-up median %5.1f ms, spread %5.1f to %5.1f ms;"
                     " idle CPU %.2f %% of one core; resident memory %.1f MB\n",
                     c.name, c.windowSize.getWidth(), c.windowSize.getHeight(), Summary::Of (c.milliseconds).median,
                     Summary::Of (c.milliseconds).minimum, Summary::Of (c.milliseconds).maximum,
                     c.idleCpuPercent, c.residentMegabytes);

    const auto& app = candidates[0];
    const auto& wrapper = candidates[1];
    std::printf ("  app / wrapper: start-up %.2f, idle CPU %.2f, resident memory %.2f\n",
                 Summary::Of (app.milliseconds).median / Summary::Of (wrapper.milliseconds).median,
                 app.idleCpuPercent / wrapper.idleCpuPercent, app.residentMegabytes / wrapper.residentMegabytes);
    return 0;
}
