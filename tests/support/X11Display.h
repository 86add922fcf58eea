#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

#include <juce_graphics/juce_graphics.h>

#include "AppProcess.h"

/** The test display, seen as a window manager would see it: windows by process,
    titles, size hints, geometry, close requests, key presses and screenshots.
*/
class X11Display
{
public:
    using WindowId = unsigned long;

    struct SizeHints
    {
        bool hasMinimum = false, hasMaximum = false;
        int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    };

    X11Display();
    ~X11Display();

    bool IsOpen() const noexcept { return display != nullptr; }

    /** The process's top-level windows that are mapped now. */
    std::vector<WindowId> FindWindows (pid_t pid);

    /** Waits for a mapped top-level window of the process that meets the predicate. */
    std::optional<WindowId> WaitForWindow (pid_t pid, int timeoutMilliseconds,
                                           const std::function<bool (WindowId)>& predicate = {});

    std::string GetTitle (WindowId window);
    SizeHints GetSizeHints (WindowId window);
    juce::Rectangle<int> GetGeometry (WindowId window);

    /** What a window manager's close button sends: WM_DELETE_WINDOW. */
    void SendCloseRequest (WindowId window);

    /** A key pressed and released in the window, named as X names keys ("Return", "Escape"). */
    void PressKey (WindowId window, const std::string& key);

    /** The left button pressed at a point of the window, held, and released there. */
    void Click (WindowId window, int x, int y, int holdMilliseconds = 50);

    /** Waits up to the timeout for the app to end after something sent to its window
        (a close request, a key), and returns its exit code if it ended. */
    std::optional<int> WaitForExit (AppProcess& app, WindowId window, int timeoutMilliseconds);

    /** True while the display's keyboard holds any key down. */
    bool AnyKeyIsDown();

    bool SaveScreenshot (WindowId window, const juce::File& png);

private:
    struct _XDisplay* display = nullptr;
};
