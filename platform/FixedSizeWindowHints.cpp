#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "FixedSizeWindowHints.h"

FixedSizeWindowHints::FixedSizeWindowHints (juce::Component& w)
    : window (w)
{
    window.addComponentListener (this);
    WindowChanged();
}

FixedSizeWindowHints::~FixedSizeWindowHints()
{
    window.removeComponentListener (this);
}

void FixedSizeWindowHints::Apply (juce::Component& w)
{
    auto* peer = w.getPeer();
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    if (peer == nullptr || display == nullptr)
        return;

    const auto nativeWindow = (::Window) reinterpret_cast<juce::pointer_sized_uint> (peer->getNativeHandle());
    const auto bounds = peer->getBounds() * peer->getPlatformScaleFactor();

    XSizeHints hints {};
    hints.flags = PMinSize | PMaxSize | USPosition | USSize;
    hints.x = bounds.getX();
    hints.y = bounds.getY();
    hints.width = hints.min_width = hints.max_width = bounds.getWidth();
    hints.height = hints.min_height = hints.max_height = bounds.getHeight();

    juce::XWindowSystemUtilities::ScopedXLock lock;
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
