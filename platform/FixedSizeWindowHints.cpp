#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "FixedSizeWindowHints.h"

FixedSizeWindowHints::FixedSizeWindowHints (juce::Component& w)
    : window (w)
{
    window.addComponentListener (this);
    Apply (window, true);
    startTimer (100);
}

FixedSizeWindowHints::~FixedSizeWindowHints()
{
    window.removeComponentListener (this);
}

void FixedSizeWindowHints::Apply (juce::Component& w, bool centreFrame)
{
    auto* peer = w.getPeer();
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    if (peer == nullptr || display == nullptr)
        return;

    const auto nativeWindow = (::Window) reinterpret_cast<juce::pointer_sized_uint> (peer->getNativeHandle());

    juce::XWindowSystemUtilities::ScopedXLock lock;

    // The position stays as the framework asked for it when it placed the window. Taken
    // from the window's bounds instead, it can be the window's place within the frame that
    // a window manager is still building around it, which then moves the window there.
    XSizeHints hints {};
    long supplied = 0;
    XGetWMNormalHints (display, nativeWindow, &hints, &supplied);

    // So does the size, in physical pixels. At a fractional scale the window's bounds, read
    // back in logical pixels, can come out a pixel larger than asked for; fixed at that,
    // the window would grow by a strip.
    if ((hints.flags & USSize) == 0 || hints.width <= 0 || hints.height <= 0)
    {
        const auto size = (peer->getBounds() * peer->getPlatformScaleFactor()).withZeroOrigin();
        hints.width = size.getWidth();
        hints.height = size.getHeight();
    }

    hints.flags |= PMinSize | PMaxSize | USSize;
    hints.min_width = hints.max_width = hints.width;
    hints.min_height = hints.max_height = hints.height;

    // Only the framework's next hints, written with its next move of the window, drop it.
    if (centreFrame)
    {
        hints.flags |= PWinGravity;
        hints.win_gravity = CenterGravity;
    }

    XSetWMNormalHints (display, nativeWindow, &hints);
    XFlush (display);
}

void FixedSizeWindowHints::WindowChanged()
{
    Apply (window);
    startTimer (100);
}

void FixedSizeWindowHints::timerCallback()
{
    stopTimer();
    Apply (window);
}

void FixedSizeWindowHints::componentMovedOrResized (juce::Component&, bool, bool)
{
    WindowChanged();
}

void FixedSizeWindowHints::componentVisibilityChanged (juce::Component&)
{
    WindowChanged();
}
