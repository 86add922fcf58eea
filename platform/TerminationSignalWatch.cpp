#include "TerminationSignalWatch.h"

#include <atomic>

namespace
{
// What the handler writes to; a signal handler can reach nothing but statics.
std::atomic<int> signalWriteEnd { -1 };
static_assert (std::atomic<int>::is_always_lock_free, "the signal handler must not take a lock");
}

TerminationSignalWatch::TerminationSignalWatch()
{
    if (wake.GetWriteEnd() < 0)
        return;

    signalWriteEnd = wake.GetWriteEnd();

    struct sigaction action {};
    action.sa_handler = &TerminationSignalWatch::HandleSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction (SIGTERM, &action, &previousAction);
}

TerminationSignalWatch::~TerminationSignalWatch()
{
    if (wake.GetWriteEnd() < 0)
        return;

    sigaction (SIGTERM, &previousAction, nullptr);
    signalWriteEnd = -1;
}

void TerminationSignalWatch::HandleSignal (int)
{
    MessageLoopWake::Wake (signalWriteEnd.load());
}

void TerminationSignalWatch::Quit()
{
    if (auto* application = juce::JUCEApplicationBase::getInstance())
        application->systemRequestedQuit();
}
