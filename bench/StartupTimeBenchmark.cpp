// Start-up and idle cost of the app beside JUCE's own standalone wrapper of the same
// instrument, started in turn on one display and audio device (scripts/bench gives both):
// from starting the process to its window mapped at its final size; then, window open and
// no note playing, the CPU time over ten seconds and the resident memory.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "Summary.h"

namespace
{
std::vector<Window> childrenOf (Display* display, Window parent)
{
    Window root = 0, parentOfParent = 0, *children = nullptr;
    unsigned int count = 0;
    XQueryTree (display, parent, &root, &parentOfParent, &children, &count);
    std::vector<Window> result (children, children + (children != nullptr ? count : 0));
    if (children != nullptr)
        XFree (children);
    return result;
}

/** The size of the window if the process owns it and it is mapped. */
std::optional<std::pair<int, int>> sizeIfShown (Display* display, Window window, pid_t pid)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* owner = nullptr;
    XWindowAttributes attributes {};
    const auto owned = XGetWindowProperty (display, window, XInternAtom (display, "_NET_WM_PID", False), 0, 1, False, XA_CARDINAL,
                                           &type, &format, &items, &remaining, &owner) == Success
                       && owner != nullptr && items == 1 && *reinterpret_cast<unsigned long*> (owner) == (unsigned long) pid;
    if (owner != nullptr)
        XFree (owner);
    if (owned && XGetWindowAttributes (display, window, &attributes) != 0 && attributes.map_state == IsViewable)
        return std::make_pair (attributes.width, attributes.height);
    return std::nullopt;
}

/** The sizes of the process's mapped top-level windows, also inside a window manager's
    frames; not those of windows inside its own windows. */
std::vector<std::pair<int, int>> mappedWindowSizes (Display* display, pid_t pid)
{
    std::vector<std::pair<int, int>> sizes;
    for (auto topLevel : childrenOf (display, DefaultRootWindow (display)))
    {
        auto candidates = childrenOf (display, topLevel);
        candidates.insert (candidates.begin(), topLevel);
        for (auto window : candidates)
            if (const auto size = sizeIfShown (display, window, pid))
            {
                sizes.push_back (*size);
                break;
            }
    }
    return sizes;
}

/** A program started for figures, with this process's environment and its output
    dropped; ended (SIGTERM, then SIGKILL) when this object goes. */
class LaunchedProgram
{
public:
    explicit LaunchedProgram (std::string path)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen (&actions, 2, "/dev/null", O_WRONLY, 0);
        char* const arguments[] = { path.data(), nullptr };
        start = std::chrono::steady_clock::now();
        if (posix_spawn (&pid, path.c_str(), &actions, nullptr, arguments, environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy (&actions);
    }

    ~LaunchedProgram()
    {
        if (pid > 0)
            kill (pid, SIGTERM);
        for (int wait = 0; pid > 0 && waitpid (pid, nullptr, WNOHANG) != pid; ++wait)
        {
            if (wait == 500)
                kill (pid, SIGKILL);
            std::this_thread::sleep_for (std::chrono::milliseconds (10));
        }
    }

    /** Milliseconds from the start until a top-level window of the program is mapped at
        this size, or at any size for 0 x 0, which then becomes the size found; nothing
        when the program ends first or takes 30 s. */
    std::optional<double> WaitForWindow (Display* display, std::pair<int, int>& size)
    {
        while (pid > 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds (30))
        {
            for (const auto& found : mappedWindowSizes (display, pid))
                if (size == std::make_pair (0, 0) || size == found)
                {
                    size = found;
                    return std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count();
                }

            if (waitpid (pid, nullptr, WNOHANG) == pid)
                pid = -1;

            // Short beside the figures, long enough to leave the processor to the program.
            std::this_thread::sleep_for (std::chrono::milliseconds (1));
        }
        return std::nullopt;
    }

    /** The CPU time of all its threads so far, user and system, in seconds. */
    double GetCpuSeconds() const
    {
        clockid_t clock {};
        timespec time {};
        if (clock_getcpuclockid (pid, &clock) != 0 || clock_gettime (clock, &time) != 0)
            return 0.0;
        return (double) time.tv_sec + (double) time.tv_nsec * 1.0e-9;
    }

    double GetResidentMegabytes() const
    {
        long pages = 0, residentPages = 0;
        std::ifstream ("/proc/" + std::to_string (pid) + "/statm") >> pages >> residentPages;
        return (double) residentPages * (double) sysconf (_SC_PAGESIZE) / (1024.0 * 1024.0);
    }

private:
    pid_t pid = -1;
    std::chrono::steady_clock::time_point start;
};

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

/** One start: the first learns the size its window settles at; later ones time the start
    until its window shows at that size, or measure the idle cost after it. */
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
                     c.name, c.windowSize.first, c.windowSize.second, Summary::Of (c.milliseconds).median,
                     Summary::Of (c.milliseconds).minimum, Summary::Of (c.milliseconds).maximum,
                     c.idleCpuPercent, c.residentMegabytes);

    const auto& app = candidates[0];
    const auto& wrapper = candidates[1];
    std::printf ("  app / wrapper: start-up %.2f, idle CPU %.2f, resident memory %.2f\n",
                 Summary::Of (app.milliseconds).median / Summary::Of (wrapper.milliseconds).median,
                 app.idleCpuPercent / wrapper.idleCpuPercent, app.residentMegabytes / wrapper.residentMegabytes);
    return 0;
}
