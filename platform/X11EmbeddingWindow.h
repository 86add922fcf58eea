#pragma once

#include <functional>

#include <juce_graphics/juce_graphics.h>

/** A plain X window of ours inside a window of the framework's, into which another client
    (a plug-in's editor) puts a window of its own.

    The plug-in sizes its window itself, and may do so again at any time; this window tells
    its owner the size of the window put into it whenever that changes, so that the owner
    can make room for it; it asks the plug-in to repaint its window whenever that comes
    into view; and it notes when the plug-in last drew, so that its owner can run a
    plug-in that shows nothing new less often. It watches through an X connection of its
    own, whose events the framework's message loop hands to it as they arrive: nothing is
    polled.

    Made and used on the message thread. Without a display it makes no window and tells
    nothing.
*/
class X11EmbeddingWindow final
{
public:
    /** Called with the embedded window's size in physical pixels, each time it changes. */
    using SizeCallback = std::function<void (int width, int height)>;

    /** A window inside the given native window (the framework's peer handle), mapped at
        the origin, 1 x 1 until it is given bounds. */
    X11EmbeddingWindow (void* parentNativeHandle, SizeCallback onEmbeddedWindowSized);
    ~X11EmbeddingWindow();

    /** The window to hand to the plug-in; null without a display. */
    void* GetNativeHandle() const noexcept;

    /** Moves and sizes this window, in physical pixels within its parent. */
    void SetBounds (juce::Rectangle<int> physicalBounds);

    /** True while the pointer is over this window or the one inside it. */
    bool IsPointerInside() const noexcept { return pointerInside; }

    /** True when, within that time, the plug-in drew into its window, or its window was
        shown, moved, sized, entered or left; always true where the display cannot report
        drawing, as it then cannot tell. */
    bool HasChangedWithin (juce::uint32 milliseconds) const noexcept;

private:
    void HandleEvents();
    void Embed (unsigned long pluginWindow);
    void AskForRepaint();

    struct _XDisplay* display = nullptr;
    unsigned long window = 0, embedded = 0;
    int embeddedWidth = 0, embeddedHeight = 0;
    bool pointerInside = false;

    // What the plug-in draws is reported by the server's damage extension, where it has one.
    int damageEvent = -1;
    unsigned long damage = 0;
    juce::uint32 lastChange = juce::Time::getMillisecondCounter();  // a new window is a change
    SizeCallback onEmbeddedWindowSized;

    JUCE_DECLARE_NON_COPYABLE (X11EmbeddingWindow)
};
