#pragma once

#include "MessageLoopWake.h"

/** Has the message loop handle the X events that Xlib has already read.

    The framework handles X events when its connection to the display has data to read.
    Xlib also reads that connection while it waits for the reply to a request (a
    repaint, the editor's checks of its window) and keeps the events it meets on the
    way in its own queue; those then wait for the next data from the server. A key of
    the on-screen keyboard held down would sound only when it is let go, and a click on
    the close button would count only when the mouse next moves.

    This watch learns from Xlib of every event it queues and wakes the message loop,
    which then handles the queue. Made on the message thread; one at a time. Without a
    display it does nothing.
*/
class X11EventQueueWatch final : private MessageLoopWake::Listener
{
public:
    X11EventQueueWatch();
    ~X11EventQueueWatch();

private:
    void MessageLoopWoken() override;

    void* display = nullptr;
    int connection = -1;
    juce::SharedResourcePointer<MessageLoopWake> wake;

    JUCE_DECLARE_NON_COPYABLE (X11EventQueueWatch)
};
