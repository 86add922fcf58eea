#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include "X11EventQueueWatch.h"

#include <array>
#include <atomic>

#include <X11/Xlibint.h>

namespace
{
using WireToEvent = Bool (*) (Display*, XEvent*, xEvent*);

// The core events, from KeyPress (a name the framework's headers take back) up to the
// generic ones, which have converters of their own.
constexpr int firstCoreEvent = 2;
std::array<WireToEvent, GenericEvent> previousConverters {};
std::atomic<int> wakeWriteEnd { -1 };
std::atomic<bool> wakePending { false };

// Xlib calls this from inside whichever of its calls read the event, with the display
// locked: it may only note the event and write to the pipe.
Bool ConvertAndWake (Display* display, XEvent* event, xEvent* wire)
{
    const auto kept = previousConverters[(size_t) (wire->u.u.type & 0x7f)] (display, event, wire);

    if (kept && ! wakePending.exchange (true))
        MessageLoopWake::Wake (wakeWriteEnd.load());

    return kept;
}
}

X11EventQueueWatch::X11EventQueueWatch()
{
    auto* xDisplay = juce::XWindowSystem::getInstance()->getDisplay();

    if (xDisplay == nullptr || wake->GetWriteEnd() < 0)
        return;

    display = xDisplay;
    connection = ConnectionNumber (xDisplay);
    wakeWriteEnd = wake->GetWriteEnd();
    wake->AddListener (this);

    // Xlib converts events with the display locked: while we hold it, none is converted
    // by a converter that is half installed.
    juce::XWindowSystemUtilities::ScopedXLock lock;

    for (int type = firstCoreEvent; type < GenericEvent; ++type)
        previousConverters[(size_t) type] = XESetWireToEvent (xDisplay, type, &ConvertAndWake);
}

X11EventQueueWatch::~X11EventQueueWatch()
{
    if (display == nullptr)
        return;

    auto* xDisplay = static_cast<Display*> (display);

    {
        juce::XWindowSystemUtilities::ScopedXLock lock;

        for (int type = firstCoreEvent; type < GenericEvent; ++type)
            XESetWireToEvent (xDisplay, type, previousConverters[(size_t) type]);
    }

    wakeWriteEnd = -1;
    wake->RemoveListener (this);
}

void X11EventQueueWatch::MessageLoopWoken()
{
    // A wake may be another listener's.
    if (! wakePending.exchange (false))
        return;

    // Cleared before the framework's handler runs, not after: a click can open a modal
    // loop from inside the handler, and the events that Xlib queues while that loop runs
    // need wakes of their own. The handler empties the queue.
    juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (connection);
}
