#include "X11EmbeddingWindow.h"

#include <juce_events/juce_events.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

X11EmbeddingWindow::X11EmbeddingWindow (void* parentNativeHandle, SizeCallback onSized)
    : onEmbeddedWindowSized (std::move (onSized))
{
    const auto parent = (::Window) reinterpret_cast<juce::pointer_sized_uint> (parentNativeHandle);
    if (parent == 0 || (display = XOpenDisplay (nullptr)) == nullptr)
        return;

    // Black under whatever the plug-in has not drawn yet, as the framework's own editor
    // window was.
    XSetWindowAttributes attributes {};
    attributes.background_pixel = BlackPixel (display, DefaultScreen (display));
    attributes.event_mask = SubstructureNotifyMask | EnterWindowMask | LeaveWindowMask;
    window = XCreateWindow (display, parent, 0, 0, 1, 1, 0, CopyFromParent, InputOutput, static_cast<Visual*> (nullptr),
                            CWBackPixel | CWEventMask, &attributes);
    XMapWindow (display, window);

    int damageError = 0;
    if (! XDamageQueryExtension (display, &damageEvent, &damageError))
        damageEvent = -1;

    // Made before the plug-in is given it: the plug-in's own connection asks the server to
    // make a window in this one, and the server may read that request before ours.
    XSync (display, False);

    juce::LinuxEventLoop::registerFdCallback (ConnectionNumber (display), [this] (int) { HandleEvents(); });
}

X11EmbeddingWindow::~X11EmbeddingWindow()
{
    if (display == nullptr)
        return;

    // The damage record goes with the connection, or earlier with the plug-in's window:
    // destroyed by hand it could already be gone.
    juce::LinuxEventLoop::unregisterFdCallback (ConnectionNumber (display));
    XDestroyWindow (display, window);
    XCloseDisplay (display);
}

void* X11EmbeddingWindow::GetNativeHandle() const noexcept
{
    return reinterpret_cast<void*> ((juce::pointer_sized_uint) window);
}

bool X11EmbeddingWindow::HasChangedWithin (juce::uint32 milliseconds) const noexcept
{
    return damageEvent < 0 || juce::Time::getMillisecondCounter() - lastChange < milliseconds;
}

void X11EmbeddingWindow::SetBounds (juce::Rectangle<int> bounds)
{
    if (display == nullptr)
        return;

    XMoveResizeWindow (display, window, bounds.getX(), bounds.getY(), (unsigned int) juce::jmax (1, bounds.getWidth()),
                       (unsigned int) juce::jmax (1, bounds.getHeight()));
    XFlush (display);
}

void X11EmbeddingWindow::Embed (unsigned long pluginWindow)
{
    embedded = pluginWindow;

    // Told here whenever the plug-in's window comes into view; it may be already.
    XSelectInput (display, embedded, VisibilityChangeMask);

    // Reported once each time the window's contents change after the last report was taken.
    if (damageEvent >= 0)
        damage = XDamageCreate (display, embedded, XDamageReportNonEmpty);

    AskForRepaint();
}

void X11EmbeddingWindow::AskForRepaint()
{
    // A plug-in built on a framework like ours handles its X events only when its own
    // connection has data to read. An exposure that Xlib read while the plug-in waited
    // for a reply stays in its queue, and its window unpainted, until the next event
    // comes: this sends it one.
    XClearArea (display, embedded, 0, 0, 0, 0, True);
    XFlush (display);
}

void X11EmbeddingWindow::HandleEvents()
{
    // The plug-in's window is the first that it creates in ours (or moves into it), and
    // its size is what it last gave it.
    auto width = embeddedWidth, height = embeddedHeight;

    while (XPending (display) > 0)
    {
        XEvent event;
        XNextEvent (display, &event);
        lastChange = juce::Time::getMillisecondCounter();

        // A move between this window and the one inside it neither enters nor leaves.
        if ((event.type == EnterNotify || event.type == LeaveNotify) && event.xcrossing.detail != NotifyInferior)
            pointerInside = event.type == EnterNotify;
        else if (event.type == CreateNotify && event.xcreatewindow.parent == window && embedded == 0)
        {
            Embed (event.xcreatewindow.window);
            width = event.xcreatewindow.width;
            height = event.xcreatewindow.height;
        }
        else if (event.type == VisibilityNotify && event.xvisibility.window == embedded
                 && event.xvisibility.state != VisibilityFullyObscured)
        {
            AskForRepaint();
        }
        else if (event.type == ConfigureNotify && event.xconfigure.window == embedded)
        {
            width = event.xconfigure.width;
            height = event.xconfigure.height;
        }
        else if (event.type == DestroyNotify && event.xdestroywindow.window == embedded)
        {
            embedded = 0;
            damage = 0;
        }
        else if (event.type == damageEvent + XDamageNotify && damage != 0)
        {
            XDamageSubtract (display, damage, None, None);
        }
        else if (event.type == ReparentNotify && event.xreparent.parent == window && embedded == 0)
        {
            Embed (event.xreparent.window);
            ::Window root {};
            int x = 0, y = 0;
            unsigned int w = 0, h = 0, border = 0, depth = 0;
            if (XGetGeometry (display, event.xreparent.window, &root, &x, &y, &w, &h, &border, &depth))
            {
                width = (int) w;
                height = (int) h;
            }
        }
    }

    if (width == embeddedWidth && height == embeddedHeight)
        return;

    embeddedWidth = width;
    embeddedHeight = height;

    if (onEmbeddedWindowSized != nullptr)
        onEmbeddedWindowSized (width, height);
}
