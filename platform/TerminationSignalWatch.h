#pragma once

#include <csignal>

#include "MessageLoopWake.h"

/** Lets SIGTERM, which a session's logout and `kill` send, end the application by the
    road of its close button (systemRequestedQuit, then the usual shutdown), instead of
    ending the process on the spot and losing what the shutdown would save. The
    framework answers only SIGINT on Linux.

    The handler only notes the signal and wakes the message loop through the shared
    pipe; the loop, nested modal loops included, then asks the application to quit from
    the message thread. One watch at a time; the previous handler comes back when it is
    destroyed.
*/
class TerminationSignalWatch final : private MessageLoopWake::Listener
{
public:
    TerminationSignalWatch();
    ~TerminationSignalWatch();

private:
    static void HandleSignal (int);
    void MessageLoopWoken() override;

    juce::SharedResourcePointer<MessageLoopWake> wake;
    struct sigaction previousAction {};

    JUCE_DECLARE_NON_COPYABLE (TerminationSignalWatch)
};
