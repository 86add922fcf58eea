#pragma once

#include <csignal>

#include "MessageLoopWake.h"

/** Lets SIGTERM, which a session's logout and `kill` send, end the application by the
    road of its close button (systemRequestedQuit, then the usual shutdown), instead of
    ending the process on the spot and losing what the shutdown would save. The
    framework answers only SIGINT on Linux.

    The handler only writes a byte to a pipe; the message loop reads it, nested modal
    loops included, and asks the application to quit from the message thread. One watch
    at a time; the previous handler comes back when it is destroyed.
*/
class TerminationSignalWatch final
{
public:
    TerminationSignalWatch();
    ~TerminationSignalWatch();

private:
    static void HandleSignal (int);
    static void Quit();

    MessageLoopWake wake { &TerminationSignalWatch::Quit };
    struct sigaction previousAction {};

    JUCE_DECLARE_NON_COPYABLE (TerminationSignalWatch)
};
