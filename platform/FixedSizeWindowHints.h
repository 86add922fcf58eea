#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** Keeps a non-resizable top-level window's size hints saying so.

    On X11 the framework writes the fixed minimum and maximum size into the window's
    size hints and then, in the same call, overwrites them with hints that carry only
    the position and size, so a window manager would offer to resize the window. This
    listener writes the fixed size back through the framework's own connection to the
    display after every move or resize of the window, at once and again shortly after,
    when the framework has written its own hints for the change.
*/
class FixedSizeWindowHints : private juce::ComponentListener,
                             private juce::Timer
{
public:
    explicit FixedSizeWindowHints (juce::Component& window);
    ~FixedSizeWindowHints() override;

    /** Writes minimum = maximum = the window's present size into its hints. */
    static void Apply (juce::Component& window);

private:
    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;
    void componentVisibilityChanged (juce::Component&) override;
    void timerCallback() override;
    void WindowChanged();

    juce::Component& window;

    JUCE_DECLARE_NON_COPYABLE (FixedSizeWindowHints)
};
