#include "MessageLoopWake.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

MessageLoopWake::MessageLoopWake()
{
    int ends[2];
    if (pipe2 (ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    readEnd = ends[0];
    writeEnd = ends[1];

    juce::LinuxEventLoop::registerFdCallback (readEnd, [this] (int fd)
    {
        char bytes[16];
        while (read (fd, bytes, sizeof (bytes)) > 0)
        {
        }

        listeners.call ([] (Listener& listener) { listener.MessageLoopWoken(); });
    });
}

MessageLoopWake::~MessageLoopWake()
{
    if (readEnd < 0)
        return;

    juce::LinuxEventLoop::unregisterFdCallback (readEnd);
    close (readEnd);
    close (writeEnd);
}

void MessageLoopWake::AddListener (Listener* listener)
{
    listeners.add (listener);
}

void MessageLoopWake::RemoveListener (Listener* listener)
{
    listeners.remove (listener);
}

void MessageLoopWake::Wake (int fd) noexcept
{
    if (fd < 0)
        return;

    const auto savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = write (fd, &byte, 1);
    errno = savedErrno;
}
