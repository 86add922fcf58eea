#include "X11Display.h"

#include <cstring>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#define DPY reinterpret_cast<Display*> (display)

namespace
{
/** An event to the window's owner, as a window manager or the server would send it. */
void send (Display* display, Window window, XEvent event)
{
    event.xany.window = window;
    event.xany.display = display;
    XSendEvent (display, window, False, NoEventMask, &event);
    XFlush (display);
}

/** A window's property as bytes; "" when it has none. */
std::string property (Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty (display, window, XInternAtom (display, name, False), 0, 4096, False, type, &actualType,
                            &format, &items, &remaining, &data)
            != Success
        || data == nullptr)
        return {};
    std::string bytes (reinterpret_cast<char*> (data), items * (format == 32 ? sizeof (long) : (size_t) format / 8));
    XFree (data);
    return bytes;
}
}

X11Display::X11Display (const std::string& name)
    : display (reinterpret_cast<_XDisplay*> (XOpenDisplay (name.empty() ? nullptr : name.c_str())))
{
    // A bare test display has no window manager to create the protocol atoms, and the
    // framework looks them up only if they exist: it would ignore close requests.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });
    for (auto* atom : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_STATE", "_NET_WM_STATE" })
        if (display != nullptr)
            XInternAtom (DPY, atom, False);
}

X11Display::~X11Display()
{
    if (display != nullptr)
        XCloseDisplay (DPY);
}

namespace
{
/** The process's mapped windows among the children of the parent. A window manager puts each
    program's window (which then has WM_STATE) into a frame of its own, one or two levels down. */
void findClients (Display* display, Window parent, pid_t pid, int depth, std::vector<X11Display::WindowId>& found)
{
    Window root = 0, grandparent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree (display, parent, &root, &grandparent, &children, &count) == 0)
        return;
    for (unsigned int i = 0; i < count; ++i)
    {
        const auto owner = property (display, children[i], "_NET_WM_PID", XA_CARDINAL);
        XWindowAttributes attributes {};
        if (owner.size() == sizeof (long) && *reinterpret_cast<const long*> (owner.data()) == pid)
        {
            if (XGetWindowAttributes (display, children[i], &attributes) != 0 && attributes.map_state == IsViewable)
                found.push_back (children[i]);
        }
        else if (depth < 3 && property (display, children[i], "WM_STATE", AnyPropertyType).empty())
        {
            findClients (display, children[i], pid, depth + 1, found);
        }
    }
    XFree (children);
}

/** The numbers in a window's CARDINAL property. */
std::vector<long> cardinals (Display* display, Window window, const char* name)
{
    const auto bytes = property (display, window, name, XA_CARDINAL);
    std::vector<long> numbers (bytes.size() / sizeof (long));
    std::memcpy (numbers.data(), bytes.data(), numbers.size() * sizeof (long));
    return numbers;
}
}

std::vector<X11Display::WindowId> X11Display::FindWindows (pid_t pid)
{
    std::vector<WindowId> found;
    if (display != nullptr)
        findClients (DPY, DefaultRootWindow (DPY), pid, 1, found);
    return found;
}

std::optional<X11Display::WindowId>
    X11Display::WaitForWindow (pid_t pid, int timeoutMilliseconds, const std::function<bool (WindowId)>& predicate)
{
    for (int waited = 0; waited <= timeoutMilliseconds; waited += 50, juce::Thread::sleep (50))
        for (auto window : FindWindows (pid))
            if (! predicate || predicate (window))
                return window;
    return std::nullopt;
}

// The framework sets no _NET_WM_NAME.
std::string X11Display::GetTitle (WindowId window)
{
    return property (DPY, window, "WM_NAME", AnyPropertyType);
}

juce::Rectangle<int> X11Display::GetGeometry (WindowId window)
{
    XWindowAttributes attributes {};
    int x = 0, y = 0;
    Window child = 0;
    if (XGetWindowAttributes (DPY, window, &attributes) == 0
        || ! XTranslateCoordinates (DPY, window, DefaultRootWindow (DPY), 0, 0, &x, &y, &child))
        return {};
    return { x, y, attributes.width, attributes.height };
}

juce::BorderSize<int> X11Display::GetFrame (WindowId window)
{
    const auto extents = cardinals (DPY, window, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
    if (extents.size() < 4)
        return {};
    return { (int) extents[2], (int) extents[0], (int) extents[3], (int) extents[1] };
}

juce::Rectangle<int> X11Display::GetWorkArea()
{
    const auto area = cardinals (DPY, DefaultRootWindow (DPY), "_NET_WORKAREA");  // x, y, width, height of each desktop
    if (area.size() < 4)
        return { DisplayWidth (DPY, DefaultScreen (DPY)), DisplayHeight (DPY, DefaultScreen (DPY)) };
    return { (int) area[0], (int) area[1], (int) area[2], (int) area[3] };
}

bool X11Display::HasFixedSize (WindowId window)
{
    XSizeHints hints {};
    long supplied = 0;
    const auto size = GetGeometry (window).withZeroOrigin();
    return XGetWMNormalHints (DPY, window, &hints, &supplied) != 0 && (hints.flags & PMinSize) != 0
           && (hints.flags & PMaxSize) != 0 && size == juce::Rectangle<int> (hints.min_width, hints.min_height)
           && size == juce::Rectangle<int> (hints.max_width, hints.max_height);
}

void X11Display::SendCloseRequest (WindowId window)
{
    XEvent event { ClientMessage };
    event.xclient = { ClientMessage, 0, False, nullptr, 0, XInternAtom (DPY, "WM_PROTOCOLS", False), 32, {} };
    event.xclient.data.l[0] = (long) XInternAtom (DPY, "WM_DELETE_WINDOW", False);
    send (DPY, window, event);
}

bool X11Display::HasWindowManager()
{
    return ! property (DPY, DefaultRootWindow (DPY), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
}

void X11Display::Activate (WindowId window)
{
    if (! HasWindowManager())
        return;  // the framework focuses its windows itself

    // Asked for as a pager asks, which the window manager grants without weighing whether
    // the window may take the focus from another; then the focus is awaited.
    XEvent event { ClientMessage };
    const auto type = XInternAtom (DPY, "_NET_ACTIVE_WINDOW", False);
    event.xclient = { ClientMessage, 0, False, nullptr, window, type, 32, {} };
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent (DPY, DefaultRootWindow (DPY), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush (DPY);
    for (int waited = 0; waited < 5000; waited += 10, juce::Thread::sleep (10))
    {
        Window focus = 0, root = 0, parent = 0, *children = nullptr;
        int revert = 0;
        unsigned int count = 0;
        XGetInputFocus (DPY, &focus, &revert);
        // The focus may sit on a window inside the client (the framework's own focus window).
        while (focus != window && focus > PointerRoot
               && XQueryTree (DPY, focus, &root, &parent, &children, &count) != 0)
        {
            XFree (children);
            focus = parent == root ? None : parent;
        }
        if (focus == window)
            return;
    }
}

void X11Display::PressKey (WindowId window, const std::string& key)
{
    Activate (window);
    // Straight to the window: through the server's test extension a press stays down when the
    // window goes before the release, and the server repeats the key into every later window.
    XEvent event {};
    event.xkey = { KeyPress, 0,
                   False,    nullptr,
                   0,        DefaultRootWindow (DPY),
                   0,        CurrentTime,
                   0,        0,
                   0,        0,
                   0,        XKeysymToKeycode (DPY, XStringToKeysym (key.c_str())),
                   True };
    send (DPY, window, event);
    event.type = KeyRelease;
    send (DPY, window, event);
}

void X11Display::Click (WindowId window, juce::Point<int> point, int holdMilliseconds)
{
    // A real press through the server's test extension: the framework also asks the server
    // which buttons are down, and would take a press sent to the window alone for one
    // already let go. The release always follows, so no button stays down. The window comes to
    // the front first, so that the press lands on it and not on a window above it.
    Activate (window);
    const auto onScreen = GetGeometry (window).getPosition() + point;
    XTestFakeMotionEvent (DPY, -1, onScreen.x, onScreen.y, CurrentTime);
    XTestFakeButtonEvent (DPY, Button1, True, CurrentTime);
    XFlush (DPY);
    juce::Thread::sleep (holdMilliseconds);
    XTestFakeButtonEvent (DPY, Button1, False, CurrentTime);
    XFlush (DPY);
}

void X11Display::MovePointer (juce::Point<int> onScreen)
{
    XTestFakeMotionEvent (DPY, -1, onScreen.x, onScreen.y, CurrentTime);
    XFlush (DPY);
}

juce::Image X11Display::Screenshot (WindowId window, const juce::String& name)
{
    const auto size = GetGeometry (window);
    juce::Image image (juce::Image::RGB, std::max (1, size.getWidth()), std::max (1, size.getHeight()), true);
    if (auto* pixels =
            XGetImage (DPY, window, 0, 0, (unsigned) size.getWidth(), (unsigned) size.getHeight(), AllPlanes, ZPixmap))
    {
        for (int y = 0; y < size.getHeight(); ++y)
            for (int x = 0; x < size.getWidth(); ++x)
                image.setPixelAt (x, y, juce::Colour ((juce::uint32) XGetPixel (pixels, x, y) | 0xff000000u));
        XDestroyImage (pixels);
    }
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (
        juce::SystemStats::getEnvironmentVariable ("ORVO_TEST_OUTPUT", "test-output") + "/" + name + ".png");
    file.deleteFile();
    file.getParentDirectory().createDirectory();
    juce::FileOutputStream stream (file);
    juce::PNGImageFormat().writeImageToStream (image, stream);
    return image;
}
