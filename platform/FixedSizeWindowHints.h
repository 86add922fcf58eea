#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Keeps a non-resizable top-level window's size hints saying so.

    On X11 the framework writes the fixed minimum and maximum size into the window's
    size hints and then, in the same call, overwrites them with hints that carry only
    the position and size, so a window manager would offer to resize the window. This
    listener adds the fixed size to the hints that the framework wrote, through its own
    connection to the display, after every move or resize of the window, at once and
    again shortly after, when the framework has written its own hints for the change.

    Made once the window has been placed, before it is shown, it also asks a window
    manager to centre the window's frame where the window itself was placed: the
    framework centres a window before a window manager has framed it, which would leave
    the title bar above the centre.
*/
class FixedSizeWindowHints final : private juce::ComponentListener,
                             private juce::Timer
{
public:
    explicit FixedSizeWindowHints (juce::Component& window);
    ~FixedSizeWindowHints() override;

    /** Adds minimum = maximum = the window's present size to its hints, and with
        centreFrame the frame's centre as the point of reference for its position. */
    static void Apply (juce::Component& window, bool centreFrame = false);

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void componentVisibilityChanged (juce::Component&) override;
    void timerCallback() override;
    void WindowChanged();

    juce::Component& window;

    JUCE_DECLARE_NON_COPYABLE (FixedSizeWindowHints)
};
