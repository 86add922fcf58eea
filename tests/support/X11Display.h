#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include <juce_graphics/juce_graphics.h>

#include "AppProcess.h"

/** The test display, seen as a window manager would see it: the windows of a process,
    their titles, size hints and geometry, close requests, keys, clicks and pixels. */
class X11Display
{
public:
    using WindowId = unsigned long;

    X11Display();
    ~X11Display();

    bool IsOpen() const noexcept { return display != nullptr; }

    /** The process's top-level windows that are mapped now. */
    std::vector<WindowId> FindWindows (pid_t pid);

    /** Waits for a mapped top-level window of the process that meets the predicate. */
    std::optional<WindowId> WaitForWindow (pid_t pid, int timeoutMilliseconds,
                                           const std::function<bool (WindowId)>& predicate = {});

    std::string GetTitle (WindowId window);
    juce::Rectangle<int> GetGeometry (WindowId window);

    /** True when the window's size hints fix it at its present size. */
    bool HasFixedSize (WindowId window);

    /** What a window manager's close button sends: WM_DELETE_WINDOW. */
    void SendCloseRequest (WindowId window);

    /** A key pressed and released in the window, named as X names keys ("Return", "Escape"). */
    void PressKey (WindowId window, const std::string& key);

    /** The first mouse button pressed at a point of the window, held, and released. */
    void Click (WindowId window, juce::Point<int> point, int holdMilliseconds = 0);

    /** Waits up to the timeout for the app to end after something sent to its window,
        and returns its exit code if it ended. */
    std::optional<int> WaitForExit (AppProcess& app, WindowId window, int timeoutMilliseconds);

    /** What the window shows now; also kept as test-output/<name>.png for a person to see. */
    juce::Image Screenshot (WindowId window, const juce::String& name);

private:
    struct _XDisplay* display = nullptr;
};
