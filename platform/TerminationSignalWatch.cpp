#include "TerminationSignalWatch.h"

#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// What the handler writes to; a signal handler can reach nothing but statics.
std::atomic<int> signalWriteEnd { -1 };
static_assert (std::atomic<int>::is_always_lock_free, "the signal handler must not take a lock");
}

TerminationSignalWatch::TerminationSignalWatch()
{
    int ends[2];
    if (pipe2 (ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    readEnd = ends[0];
    writeEnd = ends[1];
    signalWriteEnd = writeEnd;

    juce::LinuxEventLoop::registerFdCallback (readEnd, [this] (int fd) { OnSignalArrived (fd); });

    struct sigaction action {};
    action.sa_handler = &TerminationSignalWatch::HandleSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction (SIGTERM, &action, &previousAction);
}

TerminationSignalWatch::~TerminationSignalWatch()
{
    if (readEnd < 0)
        return;

    sigaction (SIGTERM, &previousAction, nullptr);
    signalWriteEnd = -1;
    juce::LinuxEventLoop::unregisterFdCallback (readEnd);
    close (readEnd);
    close (writeEnd);
}

void TerminationSignalWatch::HandleSignal (int)
{
    const auto savedErrno = errno;

    if (const auto fd = signalWriteEnd.load(); fd >= 0)
    {
        const char byte = 1;
        [[maybe_unused]] const auto written = write (fd, &byte, 1);
    }

    errno = savedErrno;
}

void TerminationSignalWatch::OnSignalArrived (int fd)
{
    char bytes[16];
    while (read (fd, bytes, sizeof (bytes)) > 0)
    {
    }

    if (auto* application = juce::JUCEApplicationBase::getInstance())
        application->systemRequestedQuit();
}
