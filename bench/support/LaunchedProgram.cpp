#include "LaunchedProgram.h"

#include <csignal>
#include <ctime>
#include <fstream>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace
{
/** The sizes of the process's mapped top-level windows, also inside a window manager's frames. */
std::vector<std::pair<int, int>> mappedWindowSizes (Display* display, pid_t pid)
{
    const auto childrenOf = [display] (Window parent)
    {
        Window root = 0, parentOfParent = 0, *children = nullptr;
        unsigned int count = 0;
        XQueryTree (display, parent, &root, &parentOfParent, &children, &count);
        std::vector<Window> result (children, children + (children != nullptr ? count : 0));
        if (children != nullptr)
            XFree (children);
        return result;
    };

    std::vector<std::pair<int, int>> sizes;
    for (auto topLevel : childrenOf (DefaultRootWindow (display)))
    {
        auto windows = childrenOf (topLevel);
        windows.push_back (topLevel);
        for (auto window : windows)
        {
            Atom type = None;
            int format = 0;
            unsigned long items = 0, remaining = 0;
            unsigned char* owner = nullptr;
            XWindowAttributes attributes {};
            if (XGetWindowProperty (display, window, XInternAtom (display, "_NET_WM_PID", False), 0, 1, False,
                                    XA_CARDINAL, &type, &format, &items, &remaining, &owner) == Success
                && owner != nullptr && items == 1 && *reinterpret_cast<unsigned long*> (owner) == (unsigned long) pid
                && XGetWindowAttributes (display, window, &attributes) != 0 && attributes.map_state == IsViewable)
                sizes.emplace_back (attributes.width, attributes.height);
            if (owner != nullptr)
                XFree (owner);
        }
    }
    return sizes;
}
}

LaunchedProgram::LaunchedProgram (const std::string& executable)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&actions, 2, "/dev/null", O_WRONLY, 0);
    auto path = executable;
    char* const arguments[] = { path.data(), nullptr };
    start = std::chrono::steady_clock::now();
    if (posix_spawn (&pid, path.c_str(), &actions, nullptr, arguments, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy (&actions);
}

LaunchedProgram::~LaunchedProgram()
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

std::optional<double> LaunchedProgram::WaitForWindow (Display* display, std::pair<int, int>& size)
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

double LaunchedProgram::GetCpuSeconds() const
{
    clockid_t clock {};
    timespec time {};
    if (clock_getcpuclockid (pid, &clock) != 0 || clock_gettime (clock, &time) != 0)
        return 0.0;
    return (double) time.tv_sec + (double) time.tv_nsec * 1.0e-9;
}

double LaunchedProgram::GetResidentMegabytes() const
{
    long pages = 0, residentPages = 0;
    std::ifstream ("/proc/" + std::to_string (pid) + "/statm") >> pages >> residentPages;
    return (double) residentPages * (double) sysconf (_SC_PAGESIZE) / (1024.0 * 1024.0);
}
