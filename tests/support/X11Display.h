#pragma once

#include <functional>

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

    /** The process's mapped top-level windows; or the first that meets the predicate within the timeout. */
    std::vector<WindowId> FindWindows (pid_t pid);
    std::optional<WindowId> WaitForWindow (pid_t pid, int timeoutMilliseconds, const std::function<bool (WindowId)>& predicate = {});

    std::string GetTitle (WindowId window);
    juce::Rectangle<int> GetGeometry (WindowId window);
    bool HasFixedSize (WindowId window);  // by its size hints, at its present size

    void SendCloseRequest (WindowId window);  // WM_DELETE_WINDOW, as a close button sends it
    void PressKey (WindowId window, const std::string& key);  // named as X names keys ("Return")
    void Click (WindowId window, juce::Point<int> point, int holdMilliseconds = 0);

    /** What the window shows now; also kept as test-output/<name>.png for a person to see. */
    juce::Image Screenshot (WindowId window, const juce::String& name);

private:
    struct _XDisplay* display = nullptr;
};
