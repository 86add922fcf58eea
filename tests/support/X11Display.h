#pragma once

#include <functional>

#include <juce_graphics/juce_graphics.h>

#include "AppProcess.h"

/** The test display (DISPLAY, or the one named), as a person sees it, with or without a window
    manager: the windows of a process (the clients, not the frames a window manager puts around
    them), their titles, size hints and geometry on the screen, close requests, keys, clicks and
    pixels; and the screen's work area. */
class X11Display
{
public:
    using WindowId = unsigned long;
    explicit X11Display (const std::string& name = {});
    ~X11Display();
    bool IsOpen() const noexcept { return display != nullptr; }

    /** The process's mapped top-level windows; or the first that meets the predicate within the timeout. */
    std::vector<WindowId> FindWindows (pid_t pid);
    std::optional<WindowId>
        WaitForWindow (pid_t pid, int timeoutMilliseconds, const std::function<bool (WindowId)>& predicate = {});

    std::string GetTitle (WindowId window);
    juce::Rectangle<int> GetGeometry (WindowId window);  // the client area, on the screen
    juce::BorderSize<int> GetFrame (WindowId window);  // what the window manager adds around it
    juce::Rectangle<int> GetWorkArea();  // the screen less panels; the whole screen without a window manager
    bool HasFixedSize (WindowId window);  // by its size hints, at its present size

    void SendCloseRequest (WindowId window);  // WM_DELETE_WINDOW, as a close button sends it
    void PressKey (WindowId window, const std::string& key);  // named as X names keys ("Return"); made active first
    void Click (WindowId window, juce::Point<int> point, int holdMilliseconds = 0);
    void MovePointer (juce::Point<int> onScreen);

    /** What the window shows now; also kept as test-output/<name>.png for a person to see. */
    juce::Image Screenshot (WindowId window, const juce::String& name);

private:
    bool HasWindowManager();
    void Activate (WindowId window);  // raised and focused, as a click on its title bar does

    struct _XDisplay* display = nullptr;
};
