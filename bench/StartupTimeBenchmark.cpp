// Start-up and idle cost of the app (build/OrvoHost/OrvoHost with its Resources/) beside
// JUCE's own standalone wrapper of the same instrument, built from the instrument's
// sources: what a user would run instead. Both are started in turn on the same display
// and audio device in one run: the time from starting the process to its window mapped
// at its final size; then, with the window open and no note playing, the CPU time that
// the process takes over ten seconds and its resident memory. Needs a display and an
// audio device: scripts/bench provides both.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include <X11/Xlib.h>

#include "LaunchedProgram.h"

namespace
{
constexpr int idleSeconds = 10;

// Long enough for what a program does once after its window shows (first paints, the
// audio device's first change messages, one-shot timers) to be over.
constexpr auto settleTime = std::chrono::seconds (3);

struct Candidate
{
    const char* name;
    std::string executable;
    std::pair<int, int> windowSize {};
    std::vector<double> milliseconds {};
    double idleCpuPercent = 0, residentMegabytes = 0;
};

/** One start of the candidate. The first learns the size that its window settles at;
    later ones time the start until its window shows at that size, or measure the idle
    cost after it. */
bool launch (Display* display, Candidate& candidate, bool measureIdle)
{
    LaunchedProgram program (candidate.executable);
    auto size = candidate.windowSize;
    const auto elapsed = program.WaitForWindow (display, size);
    if (! elapsed.has_value())
    {
        // The app runs once per product name: a copy already running makes it end at once.
        std::fprintf (stderr, "StartupTimeBenchmark: %s showed no window at %dx%d (is a copy running already?)\n",
                      candidate.name, size.first, size.second);
        return false;
    }

    if (candidate.windowSize.first > 0 && ! measureIdle)
    {
        candidate.milliseconds.push_back (*elapsed);
        return true;
    }

    std::this_thread::sleep_for (settleTime);
    if (candidate.windowSize.first == 0)
        return program.WaitForWindow (display, candidate.windowSize).has_value();

    const auto before = program.GetCpuSeconds();
    std::this_thread::sleep_for (std::chrono::seconds (idleSeconds));
    candidate.idleCpuPercent = 100.0 * (program.GetCpuSeconds() - before) / idleSeconds;
    candidate.residentMegabytes = program.GetResidentMegabytes();
    return true;
}

double median (std::vector<double> values)
{
    std::sort (values.begin(), values.end());
    const auto middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}
}

int main()
{
    auto* display = XOpenDisplay (nullptr);
    if (display == nullptr)
    {
        std::fprintf (stderr, "StartupTimeBenchmark: no display (run through scripts/bench)\n");
        return 1;
    }

    // A window can go between finding it and asking about it: that is no error here.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });

    // Settings live under HOME: a HOME of their own leaves the user's alone.
    auto home = (std::filesystem::temp_directory_path() / "orvo-startup-XXXXXX").string();
    if (mkdtemp (home.data()) == nullptr || setenv ("HOME", home.c_str(), 1) != 0)
        return 1;

    // Both find a MIDI keyboard, as a player's machine would have: this one has no MIDI
    // sequencer, so the tests' stand-in lists one (and the app shows no alert for it).
    const auto midiInputs = home + "/midi-inputs.txt";
    if (auto* file = std::fopen (midiInputs.c_str(), "w"))
    {
        std::fputs ("Stand-in Keyboard\n", file);
        std::fclose (file);
    }
    setenv ("LD_PRELOAD", ORVO_STAND_IN_MIDI_SEQUENCER, 1);
    setenv ("ORVO_MIDI_INPUTS", midiInputs.c_str(), 1);

    std::vector<Candidate> candidates { { "the app", ORVO_APP_EXECUTABLE },
                                        { "JUCE's standalone wrapper", ORVO_STANDALONE_WRAPPER_EXECUTABLE } };
    const auto* launchesText = std::getenv ("ORVO_BENCH_LAUNCHES");
    const auto launches = launchesText != nullptr && std::atoi (launchesText) > 0 ? std::atoi (launchesText) : 10;

    // The first start of each, unmeasured, also reads its files from disk.
    auto measured = true;
    for (int launchNumber = -1; launchNumber <= launches; ++launchNumber)
        for (auto& candidate : candidates)
            measured = measured && launch (display, candidate, launchNumber == launches);

    std::filesystem::remove_all (home);
    XCloseDisplay (display);
    if (! measured)
        return 1;

    std::printf ("start-up, from starting the process to its window mapped at its final size, %d launches each"
                 " in turn after one unmeasured; idle, %d s with the window open and no note, from %d s after"
                 " it showed:\n", launches, idleSeconds, (int) settleTime.count());
    for (const auto& c : candidates)
        std::printf ("  %-26s (%dx%d): start-up median %5.1f ms, spread %5.1f to %5.1f ms;"
                     " idle CPU %.2f %% of one core; resident memory %.1f MB\n",
                     c.name, c.windowSize.first, c.windowSize.second, median (c.milliseconds),
                     *std::min_element (c.milliseconds.begin(), c.milliseconds.end()),
                     *std::max_element (c.milliseconds.begin(), c.milliseconds.end()),
                     c.idleCpuPercent, c.residentMegabytes);

    const auto& app = candidates[0];
    const auto& wrapper = candidates[1];
    std::printf ("  app / wrapper: start-up %.2f, idle CPU %.2f, resident memory %.2f\n",
                 median (app.milliseconds) / median (wrapper.milliseconds),
                 app.idleCpuPercent / wrapper.idleCpuPercent, app.residentMegabytes / wrapper.residentMegabytes);
    return 0;
}
