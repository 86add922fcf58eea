#include "X11Display.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
// A bare test display has no window manager, so nobody has created the protocol atoms;
// the framework looks them up only if they exist and would then ignore close requests.
const char* const windowManagerAtoms[] = { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "_NET_WM_PING",
                                           "WM_STATE", "_NET_WM_STATE", "_NET_WM_NAME", "UTF8_STRING" };

int ignoreErrors (Display*, XErrorEvent*) { return 0; }

/** A client message to the window's owner, as a window manager sends them. */
void sendClientMessage (Display* display, Window window, const char* type, std::initializer_list<long> data)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom (display, type, False);
    event.xclient.format = 32;
    std::copy (data.begin(), data.end(), event.xclient.data.l);
    XSendEvent (display, window, False, NoEventMask, &event);
    XFlush (display);
}

void collectWindows (Display* display, Window parent, Atom pidAtom, pid_t pid, std::vector<Window>& found)
{
    Window root = 0, ignoredParent = 0;
    Window* children = nullptr;
    unsigned int count = 0;

    if (XQueryTree (display, parent, &root, &ignoredParent, &children, &count) == 0)
        return;

    for (unsigned int i = 0; i < count; ++i)
    {
        const auto child = children[i];
        Atom type = None;
        int format = 0;
        unsigned long items = 0, remaining = 0;
        unsigned char* data = nullptr;

        if (XGetWindowProperty (display, child, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                                &items, &remaining, &data) == Success && data != nullptr)
        {
            const auto windowPid = (pid_t) *reinterpret_cast<unsigned long*> (data);
            XFree (data);

            XWindowAttributes attributes {};
            if (windowPid == pid && XGetWindowAttributes (display, child, &attributes) != 0
                && attributes.map_state == IsViewable)
                found.push_back (child);
        }
    }

    if (children != nullptr)
        XFree (children);
}
}

X11Display::X11Display()
{
    display = reinterpret_cast<_XDisplay*> (XOpenDisplay (nullptr));

    if (display != nullptr)
    {
        XSetErrorHandler (ignoreErrors);
        for (auto* name : windowManagerAtoms)
            XInternAtom (reinterpret_cast<Display*> (display), name, False);
        XSync (reinterpret_cast<Display*> (display), False);
    }
}

X11Display::~X11Display()
{
    if (display != nullptr)
        XCloseDisplay (reinterpret_cast<Display*> (display));
}

std::vector<X11Display::WindowId> X11Display::FindWindows (pid_t pid)
{
    std::vector<Window> found;
    if (display == nullptr)
        return {};

    auto* d = reinterpret_cast<Display*> (display);
    XSync (d, False);
    collectWindows (d, DefaultRootWindow (d), XInternAtom (d, "_NET_WM_PID", False), pid, found);
    return { found.begin(), found.end() };
}

std::optional<X11Display::WindowId> X11Display::WaitForWindow (pid_t pid, int timeoutMilliseconds,
                                                               const std::function<bool (WindowId)>& predicate)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    do
    {
        for (auto window : FindWindows (pid))
            if (! predicate || predicate (window))
                return window;

        juce::Thread::sleep (50);
    }
    while (juce::Time::getMillisecondCounter() < deadline);

    return std::nullopt;
}

std::string X11Display::GetTitle (WindowId window)
{
    auto* d = reinterpret_cast<Display*> (display);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;

    if (XGetWindowProperty (d, window, XInternAtom (d, "_NET_WM_NAME", False), 0, 4096, False,
                            XInternAtom (d, "UTF8_STRING", False), &type, &format, &items, &remaining,
                            &data) == Success && data != nullptr)
    {
        std::string title (reinterpret_cast<char*> (data), items);
        XFree (data);
        return title;
    }

    if (XGetWindowProperty (d, window, XA_WM_NAME, 0, 4096, False, AnyPropertyType, &type, &format,
                            &items, &remaining, &data) == Success && data != nullptr)
    {
        std::string title (reinterpret_cast<char*> (data), items);
        XFree (data);
        return title;
    }

    return {};
}

X11Display::SizeHints X11Display::GetSizeHints (WindowId window)
{
    SizeHints result;
    XSizeHints hints {};
    long supplied = 0;

    if (XGetWMNormalHints (reinterpret_cast<Display*> (display), window, &hints, &supplied) != 0)
    {
        result.hasMinimum = (hints.flags & PMinSize) != 0;
        result.hasMaximum = (hints.flags & PMaxSize) != 0;
        result.minWidth = hints.min_width;
        result.minHeight = hints.min_height;
        result.maxWidth = hints.max_width;
        result.maxHeight = hints.max_height;
    }

    return result;
}

juce::Rectangle<int> X11Display::GetGeometry (WindowId window)
{
    auto* d = reinterpret_cast<Display*> (display);
    XWindowAttributes attributes {};
    if (XGetWindowAttributes (d, window, &attributes) == 0)
        return {};

    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates (d, window, DefaultRootWindow (d), 0, 0, &x, &y, &child);
    return { x, y, attributes.width, attributes.height };
}

void X11Display::SendCloseRequest (WindowId window)
{
    auto* d = reinterpret_cast<Display*> (display);
    sendClientMessage (d, window, "WM_PROTOCOLS",
                       { (long) XInternAtom (d, "WM_DELETE_WINDOW", False), CurrentTime });
}

void X11Display::PressKey (WindowId window, const std::string& key)
{
    // Press and release go to the window itself. Through the server's test extension (as
    // xdotool does for a focused window) a press stays down when the window goes away
    // before the release, and the server then repeats the key into every window that
    // takes the focus after it.
    auto* d = reinterpret_cast<Display*> (display);
    const auto keysym = XStringToKeysym (key.c_str());

    if (keysym == NoSymbol)
        return;

    XKeyEvent event {};
    event.display = d;
    event.window = window;
    event.root = DefaultRootWindow (d);
    event.subwindow = None;
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = XKeysymToKeycode (d, keysym);

    event.type = KeyPress;
    XSendEvent (d, window, False, NoEventMask, reinterpret_cast<XEvent*> (&event));
    event.type = KeyRelease;
    XSendEvent (d, window, False, NoEventMask, reinterpret_cast<XEvent*> (&event));
    XFlush (d);
}

void X11Display::Click (WindowId window, int x, int y, int holdMilliseconds)
{
    // Sent to the window, like the keys, so that no button stays down on the display.
    // The pointer itself goes there first: the framework looks at where it really is
    // when a window comes to the front, and a click elsewhere would then not count.
    auto* d = reinterpret_cast<Display*> (display);
    XWarpPointer (d, None, window, 0, 0, 0, 0, x, y);
    const auto origin = GetGeometry (window).getPosition();

    XButtonEvent event {};
    event.display = d;
    event.window = window;
    event.root = DefaultRootWindow (d);
    event.time = CurrentTime;
    event.x = x;
    event.y = y;
    event.x_root = origin.x + x;
    event.y_root = origin.y + y;
    event.same_screen = True;
    event.button = Button1;

    XMotionEvent motion {};
    motion.type = MotionNotify;
    motion.display = d;
    motion.window = window;
    motion.root = event.root;
    motion.x = x;
    motion.y = y;
    motion.x_root = event.x_root;
    motion.y_root = event.y_root;
    motion.same_screen = True;
    XSendEvent (d, window, False, NoEventMask, reinterpret_cast<XEvent*> (&motion));
    event.type = ButtonPress;
    XSendEvent (d, window, False, NoEventMask, reinterpret_cast<XEvent*> (&event));
    XFlush (d);
    juce::Thread::sleep (holdMilliseconds);

    event.type = ButtonRelease;
    event.state = Button1Mask;
    XSendEvent (d, window, False, NoEventMask, reinterpret_cast<XEvent*> (&event));
    XFlush (d);
}

std::optional<int> X11Display::WaitForExit (AppProcess& app, WindowId window, int timeoutMilliseconds)
{
    // The framework reads events only when the connection's socket has data. An event
    // that arrives while it waits for a reply on that connection (a repaint's sync)
    // goes to Xlib's queue unseen, and stays there until the next event arrives. On a
    // desktop one soon does; the test display is silent. A message that means nothing
    // to the window, every 100 ms, plays that part.
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    for (;;)
    {
        const auto now = juce::Time::getMillisecondCounter();
        const auto left = now < deadline ? (int) (deadline - now) : 0;
        const auto exitCode = app.WaitForExit (juce::jmin (100, left));

        if (exitCode.has_value() || left <= 100)
            return exitCode;

        sendClientMessage (reinterpret_cast<Display*> (display), window, "ORVO_TEST_WAKE", {});
    }
}

bool X11Display::AnyKeyIsDown()
{
    char keys[32] {};
    XQueryKeymap (reinterpret_cast<Display*> (display), keys);

    for (auto byte : keys)
        if (byte != 0)
            return true;

    return false;
}

bool X11Display::SaveScreenshot (WindowId window, const juce::File& png)
{
    png.getParentDirectory().createDirectory();
    const auto command = "import -window " + std::to_string (window) + " '"
                         + png.getFullPathName().toStdString() + "' >/dev/null 2>&1";
    return std::system (command.c_str()) == 0 && png.existsAsFile();
}
