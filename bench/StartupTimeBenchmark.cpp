// Start-up and idle cost of the app beside JUCE's own standalone wrapper of the same
// instrument, started in turn on one display and audio device (scripts/bench gives both):
// from starting the process to its window mapped at its final size; then, window open and
// no note playing, the CPU time and the wake-ups over ten seconds, thread by thread, on
// JACK servers of 256- and 64-sample blocks, also with the app's missing-keyboard alert
// open, in rounds that take each in turn; and the resident memory.

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
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

/** What a thread has used so far: its CPU time, and how often it was put on a processor,
    which at idle is how often it woke. */
struct ThreadUse
{
    int id = 0;
    std::string name;
    double nanoseconds = 0, runs = 0;
};

/** Each thread's use so far, in the order the threads were made; the first is the message
    thread. */
std::vector<ThreadUse> threadUses (pid_t pid)
{
    std::vector<ThreadUse> threads;
    for (const auto& task : juce::File ("/proc/" + juce::String (pid) + "/task").findChildFiles (juce::File::findDirectories, false))
    {
        const auto id = task.getFileName().getIntValue();
        const auto name = task.getChildFile ("comm").loadFileAsString().trim().toStdString();
        // schedstat: time on a processor, time waiting for one, times put on one.
        const auto fields = juce::StringArray::fromTokens (task.getChildFile ("schedstat").loadFileAsString(), false);
        threads.push_back ({ id, id == pid ? "message thread" : name, fields[0].getDoubleValue(), fields[2].getDoubleValue() });
    }
    std::sort (threads.begin(), threads.end(), [] (const auto& a, const auto& b) { return a.id < b.id; });
    return threads;
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

/** Over the idle time: per cent of one core and wake-ups a second, in all and per thread
    that used any. */
struct IdleCost
{
    struct Thread
    {
        std::string name;
        double percent, wakeups;
    };

    double total = 0, wakeups = 0;
    std::vector<Thread> threads {};
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

    // Ended as a user would end it: the app then saves its device setup, and leaves nothing
    // of its own behind on the machine.
    program.Kill (SIGTERM);
    program.WaitForExit (5000);
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

/** The CPU time and wake-ups of the program over idleSeconds, from settleTime after its
    window showed. */
std::optional<IdleCost> measureIdle (X11Display& display, const Candidate& candidate, const AppProcess::Environment& environment)
{
    AppProcess program (candidate.executable, environment);
    auto size = candidate.windowSize;
    if (! waitForWindow (display, program, Clock::now(), size).has_value())
        return std::nullopt;

    // In the screen's top-left corner, away from every window, as when nobody plays: a
    // plug-in's editor under the pointer is run more often.
    display.MovePointer ({ 0, 0 });
    std::this_thread::sleep_for (settleTime);
    const auto before = threadUses (program.GetPid());
    std::this_thread::sleep_for (std::chrono::seconds (idleSeconds));
    const auto after = threadUses (program.GetPid());

    IdleCost cost;
    for (const auto& thread : after)
    {
        // A thread made during the idle time started from nothing.
        const auto found = std::find_if (before.begin(), before.end(), [&] (const auto& t) { return t.id == thread.id; });
        const auto start = found != before.end() ? *found : ThreadUse {};
        const auto percent = 100.0 * (thread.nanoseconds - start.nanoseconds) / (idleSeconds * 1.0e9);
        const auto wakeups = (thread.runs - start.runs) / idleSeconds;
        cost.total += percent;
        cost.wakeups += wakeups;
        if (percent >= 0.01)
            cost.threads.push_back ({ thread.name, percent, wakeups });
    }

    // Ended as a user would end it, it leaves nothing of its own behind on the machine.
    program.Kill (SIGTERM);
    program.WaitForExit (5000);
    return cost;
}

/** Gives the wrapper the device setup that the app saved when it last ended: the same audio
    device, and the MIDI inputs that the app plays by itself, which the wrapper would open
    only when asked to. Both are then measured ready to play the keyboard. */
bool giveWrapperTheAppsDeviceSetup (const juce::File& home)
{
    auto appSetup = juce::parseXML (home.getChildFile (".config/Application Support/Calvera/Merovalt/Settings.xml"));
    if (appSetup == nullptr || ! appSetup->hasTagName ("DEVICESETUP"))
        return false;

    juce::XmlElement properties ("PROPERTIES");
    auto* audioSetup = properties.createNewChildElement ("VALUE");
    audioSetup->setAttribute ("name", "audioSetup");
    audioSetup->addChildElement (appSetup.release());

    const auto settings = home.getChildFile (".config/Tarnwell App.settings");
    return settings.getParentDirectory().createDirectory() && properties.writeTo (settings);
}

/** The round whose total is the median of all rounds. */
const IdleCost& medianRound (std::vector<IdleCost>& rounds)
{
    std::sort (rounds.begin(), rounds.end(), [] (const auto& a, const auto& b) { return a.total < b.total; });
    return rounds[(rounds.size() - 1) / 2];
}

/** The median round, thread by thread, and the spread of all rounds' totals. */
void printIdle (const char* name, std::vector<IdleCost>& rounds)
{
    const auto& median = medianRound (rounds);
    std::printf ("  %-45s %5.2f %% (%.2f to %.2f), %4.0f wake-ups/s\n   ", name, median.total, rounds.front().total,
                 rounds.back().total, median.wakeups);
    for (const auto& thread : median.threads)
        std::printf (" %s %.2f %% %.0f/s;", thread.name.c_str(), thread.percent, thread.wakeups);
    std::printf ("\n");
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
    const auto fromEnvironment = [] (const char* name, int otherwise)
    {
        const auto* text = std::getenv (name);
        return text != nullptr && std::atoi (text) > 0 ? std::atoi (text) : otherwise;
    };
    const auto launches = fromEnvironment ("ORVO_BENCH_LAUNCHES", 10);
    // The machine's other work makes one idle figure vary by a fifth or more; taken in turn,
    // the candidates share what varies, and the median round leaves out the odd one.
    const auto idleRounds = fromEnvironment ("ORVO_BENCH_IDLE_ROUNDS", 3);

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
    if (! giveWrapperTheAppsDeviceSetup (home / "home"))
    {
        std::fprintf (stderr, "StartupTimeBenchmark: the app saved no device setup\n");
        return 1;
    }
    const auto noKeyboard = home / "no-midi-inputs.txt";
    noKeyboard.create();
    for (const auto blockSize : { 256, 64 })
    {
        const JackServer server (blockSize);
        if (! server.ready)
        {
            std::fprintf (stderr, "StartupTimeBenchmark: no JACK server at %d-sample blocks\n%s", blockSize,
                          server.server.GetStandardError().c_str());
            return 1;
        }
        auto onServer = environment;
        onServer.push_back ({ "JACK_DEFAULT_SERVER", server.name });
        auto withAlert = onServer;
        withAlert.push_back ({ "ORVO_MIDI_INPUTS", noKeyboard.getFullPathName().toStdString() });

        std::vector<IdleCost> appIdle, wrapperIdle, alertIdle;
        const std::array<std::pair<std::vector<IdleCost>*, std::function<std::optional<IdleCost>()>>, 3> measurements {
            { { &appIdle, [&] { return measureIdle (display, app, onServer); } },
              { &wrapperIdle, [&] { return measureIdle (display, wrapper, onServer); } },
              { &alertIdle, [&] { return measureIdle (display, app, withAlert); } } }
        };
        // Each round starts with the next one: none is always measured first, or after the same one.
        for (int round = 0; round < idleRounds; ++round)
            for (size_t i = 0; i < measurements.size(); ++i)
            {
                const auto& [rounds, measure] = measurements[(i + (size_t) round) % measurements.size()];
                const auto cost = measure();
                if (! cost.has_value())
                    return 1;
                rounds->push_back (*cost);
            }

        std::printf ("idle at %d-sample blocks, %d s with the window open and no note, from %d s after it showed,"
                     " in %% of one core: the median of %d rounds (all rounds' spread), and its threads:\n",
                     blockSize, idleSeconds, (int) settleTime.count(), idleRounds);
        printIdle (app.name, appIdle);
        printIdle ("the app, with the missing-keyboard alert open", alertIdle);
        printIdle (wrapper.name, wrapperIdle);
        const auto& appMedian = medianRound (appIdle);
        const auto& wrapperMedian = medianRound (wrapperIdle);
        std::printf ("  app / wrapper: %.2f (wake-ups %.2f); with the alert: %.2f\n", appMedian.total / wrapperMedian.total,
                     appMedian.wakeups / wrapperMedian.wakeups, medianRound (alertIdle).total / wrapperMedian.total);
    }
    return 0;
}
