// Start-up and idle cost of the app beside JUCE's own standalone wrapper of the same
// instrument, started in turn on one display and audio device (scripts/bench gives both):
// from starting the process to its window mapped at its final size; then, window open and
// no note playing, the CPU time over ten seconds, thread by thread, on JACK servers of
// 256- and 64-sample blocks, also with the app's missing-keyboard alert open; and the
// resident memory.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

#include <X11/Xlib.h>

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

/** Each thread's name and CPU time so far, in nanoseconds, in the order the threads were
    made; the first is the message thread. */
std::vector<std::pair<std::string, double>> threadTimes (pid_t pid)
{
    std::vector<std::pair<int, std::pair<std::string, double>>> threads;
    for (const auto& task : juce::File ("/proc/" + juce::String (pid) + "/task").findChildFiles (juce::File::findDirectories, false))
    {
        const auto name = task.getChildFile ("comm").loadFileAsString().trim().toStdString();
        const auto nanoseconds = task.getChildFile ("schedstat").loadFileAsString().upToFirstOccurrenceOf (" ", false, false).getDoubleValue();
        threads.push_back ({ task.getFileName().getIntValue(), { name, nanoseconds } });
    }
    std::sort (threads.begin(), threads.end());
    std::vector<std::pair<std::string, double>> result;
    for (auto& [id, thread] : threads)
        result.push_back ({ id == pid ? "message thread" : thread.first, thread.second });
    return result;
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

/** Per cent of one core over the idle time: in all, and per thread that used any. */
struct IdleCost
{
    double total = 0;
    std::vector<std::pair<std::string, double>> threads {};
};

struct Candidate
{
    const char* name;
    juce::File executable;
    juce::Rectangle<int> windowSize {};
    std::vector<double> milliseconds {};
    double residentMegabytes = 0;
};

/** One start: the first learns the size its window settles at; later ones time the start
    until its window shows at that size. */
bool launch (X11Display& display, Candidate& candidate, const AppProcess::Environment& environment)
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

    if (! candidate.windowSize.isEmpty())
    {
        candidate.milliseconds.push_back (*elapsed);
        return true;
    }

    std::this_thread::sleep_for (settleTime);
    if (! waitForWindow (display, program, Clock::now(), candidate.windowSize).has_value())
        return false;
    candidate.residentMegabytes = residentMegabytes (program.GetPid());
    return true;
}

/** A JACK dummy server of its own, at 48 kHz with the given block size, for as long as it lives. */
struct JackServer
{
    explicit JackServer (int blockSize)
        : name ("orvo-idle-" + std::to_string (::getpid()) + "-" + std::to_string (blockSize)),
          server (shell, {}, { "-c", "exec jackd -n " + name + " -r -d dummy -r 48000 -p " + std::to_string (blockSize) + " >/dev/null" })
    {
        AppProcess waiting (shell, { { "JACK_DEFAULT_SERVER", name } }, { "-c", "exec jack_wait -w -t 10 >/dev/null" });
        ready = waiting.WaitForExit (15000) == std::optional<int> (0);
    }

    // Ended as a user would end it, so that it leaves nothing behind for the next one.
    ~JackServer()
    {
        server.Kill (SIGTERM);
        server.WaitForExit (5000);
    }

    inline static const juce::File shell { "/bin/sh" };
    std::string name;
    AppProcess server;
    bool ready = false;
};

/** Rests the pointer in the screen's top-left corner, away from every window, as when
    nobody plays: a plug-in's editor under the pointer is run more often. */
void restPointer()
{
    if (auto* display = XOpenDisplay (nullptr))
    {
        XWarpPointer (display, None, DefaultRootWindow (display), 0, 0, 0, 0, 0, 0);
        XCloseDisplay (display);
    }
}

/** The CPU time of the program over idleSeconds, from settleTime after its window showed. */
std::optional<IdleCost> measureIdle (X11Display& display, const Candidate& candidate, const AppProcess::Environment& environment)
{
    AppProcess program (candidate.executable, environment);
    auto size = candidate.windowSize;
    if (! waitForWindow (display, program, Clock::now(), size).has_value())
        return std::nullopt;

    restPointer();
    std::this_thread::sleep_for (settleTime);
    const auto before = threadTimes (program.GetPid());
    std::this_thread::sleep_for (std::chrono::seconds (idleSeconds));
    const auto after = threadTimes (program.GetPid());

    IdleCost cost;
    for (size_t i = 0; i < after.size(); ++i)
    {
        const auto percent = 100.0 * (after[i].second - (i < before.size() ? before[i].second : 0.0)) / (idleSeconds * 1.0e9);
        cost.total += percent;
        if (percent >= 0.01)
            cost.threads.push_back ({ after[i].first, percent });
    }
    return cost;
}

void printIdle (const char* name, const IdleCost& cost)
{
    std::printf ("  %-45s %5.2f %% (", name, cost.total);
    for (size_t i = 0; i < cost.threads.size(); ++i)
        std::printf ("%s%s %.2f", i == 0 ? "" : ", ", cost.threads[i].first.c_str(), cost.threads[i].second);
    std::printf (")\n");
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
    for (int launchNumber = -1; launchNumber < launches; ++launchNumber)
        for (auto& candidate : candidates)
            measured = measured && launch (display, candidate, environment);
    if (! measured)
        return 1;

    std::printf ("start-up, from starting the process to its window mapped at its final size, %d launches each"
                 " in turn after one unmeasured:\n", launches);
    for (const auto& c : candidates)
        std::printf ("  %-26s (%dx%d): median %5.1f ms, spread %5.1f to %5.1f ms; resident memory %.1f MB\n",
                     c.name, c.windowSize.getWidth(), c.windowSize.getHeight(), Summary::Of (c.milliseconds).median,
                     Summary::Of (c.milliseconds).minimum, Summary::Of (c.milliseconds).maximum, c.residentMegabytes);

    const auto& app = candidates[0];
    const auto& wrapper = candidates[1];
    std::printf ("  app / wrapper: start-up %.2f, resident memory %.2f\n",
                 Summary::Of (app.milliseconds).median / Summary::Of (wrapper.milliseconds).median,
                 app.residentMegabytes / wrapper.residentMegabytes);

    // Idle, per block size: each program on a JACK server of its own at that size; the app
    // also with no MIDI input, so that its missing-keyboard alert is open all along.
    const auto noKeyboard = home / "no-midi-inputs.txt";
    noKeyboard.create();
    for (const auto blockSize : { 256, 64 })
    {
        const JackServer server (blockSize);
        if (! server.ready)
        {
            std::fprintf (stderr, "StartupTimeBenchmark: no JACK server at %d-sample blocks\n", blockSize);
            return 1;
        }
        auto onServer = environment;
        onServer.push_back ({ "JACK_DEFAULT_SERVER", server.name });
        auto withAlert = onServer;
        withAlert.push_back ({ "ORVO_MIDI_INPUTS", noKeyboard.getFullPathName().toStdString() });

        const auto appIdle = measureIdle (display, app, onServer);
        const auto wrapperIdle = measureIdle (display, wrapper, onServer);
        const auto alertIdle = measureIdle (display, app, withAlert);
        if (! appIdle || ! wrapperIdle || ! alertIdle)
            return 1;

        std::printf ("idle at %d-sample blocks, %d s with the window open and no note, from %d s after it showed,"
                     " in %% of one core (per thread):\n", blockSize, idleSeconds, (int) settleTime.count());
        printIdle (app.name, *appIdle);
        printIdle ("the app, with the missing-keyboard alert open", *alertIdle);
        printIdle (wrapper.name, *wrapperIdle);
        std::printf ("  app / wrapper: %.2f; with the alert: %.2f\n", appIdle->total / wrapperIdle->total,
                     alertIdle->total / wrapperIdle->total);
    }
    return 0;
}
