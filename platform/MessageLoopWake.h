#pragma once

#include <functional>

#include <juce_events/juce_events.h>

/** A pipe that the framework's Linux message loop watches: a byte written to it has the
    loop call the function given, on the message thread, nested modal loops included.
    Bytes written before the call are taken together, in one call.

    Code that can reach nothing but statics (a signal handler, a callback of Xlib's with
    the display locked) keeps the write end and calls Wake() with it.
*/
class MessageLoopWake final
{
public:
    explicit MessageLoopWake (std::function<void()> onWake);
    ~MessageLoopWake();

    /** The end to write to; -1 when no pipe could be made. */
    int GetWriteEnd() const noexcept { return writeEnd; }

    /** Writes one byte to that end, if any, and leaves errno as it was: safe in a signal
        handler and under any lock. */
    static void Wake (int writeEnd) noexcept;

private:
    std::function<void()> onWake;
    int readEnd = -1;
    int writeEnd = -1;

    JUCE_DECLARE_NON_COPYABLE (MessageLoopWake)
};
