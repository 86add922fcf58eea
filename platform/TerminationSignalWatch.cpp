#include "TerminationSignalWatch.h"

#include <atomic>

namespace
{
// What the handler writes to; a signal handler can reach nothing but statics.
std::atomic<int> signalWriteEnd { -1 };
std::atomic<bool> signalled { false };
static_assert (std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
               "the signal handler must not take a lock");
}

TerminationSignalWatch::TerminationSignalWatch()
{
    if (wake->GetWriteEnd() < 0)
        return;

    signalWriteEnd = wake->GetWriteEnd();
    wake->AddListener (this);

    struct sigaction action {};
    action.sa_handler = &TerminationSignalWatch::HandleSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction (SIGTERM, &action, &previousAction);
}

TerminationSignalWatch::~TerminationSignalWatch()
{
    if (wake->GetWriteEnd() < 0)
        return;

    sigaction (SIGTERM, &previousAction, nullptr);
    signalWriteEnd = -1;
    wake->RemoveListener (this);
}

void TerminationSignalWatch::HandleSignal (int)
{
    signalled = true;
    MessageLoopWake::Wake (signalWriteEnd.load());
}

void TerminationSignalWatch::MessageLoopWoken()
{
    if (! signalled.exchange (false))
        return;

    if (auto* application = juce::JUCEApplicationBase::getInstance())
        application->systemRequestedQuit();
}
