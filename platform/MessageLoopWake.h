#pragma once

#include <juce_events/juce_events.h>

/** The one pipe that the framework's Linux message loop watches for us: a byte written
    to it has the loop tell every listener, on the message thread, nested modal loops
    included. Bytes written before the call are taken together, in one call.

    Code that can reach nothing but statics (a signal handler, a callback of Xlib's with
    the display locked) keeps the write end and calls Wake() with it. Its users hold it
    through a juce::SharedResourcePointer, so that they share one pipe; each listener
    looks for its own reason when it is told, as a wake may be another's.
*/
class MessageLoopWake final
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;
        virtual void MessageLoopWoken() = 0;
    };

    MessageLoopWake();
    ~MessageLoopWake();

    void AddListener (Listener* listener);
    void RemoveListener (Listener* listener);

    /** The end to write to; -1 when no pipe could be made. */
    int GetWriteEnd() const noexcept { return writeEnd; }

    /** Writes one byte to that end, if any, and leaves errno as it was: safe in a signal
        handler and under any lock. */
    static void Wake (int writeEnd) noexcept;

private:
    juce::ListenerList<Listener> listeners;
    int readEnd = -1;
    int writeEnd = -1;

    JUCE_DECLARE_NON_COPYABLE (MessageLoopWake)
};
