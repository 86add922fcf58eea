#pragma once

#include <string>

#include <sys/types.h>

/** A JACK server with the dummy backend under a name of its own, for tests that must
    know which clients on it are theirs and for the benchmarks: no real-time scheduling,
    the given rate and period. Stopped at destruction.
*/
class JackServer
{
public:
    explicit JackServer (const std::string& name, int sampleRate = 48000, int blockSize = 256);
    ~JackServer();

    /** True once the server answers. */
    bool IsRunning() const noexcept { return running; }

    const std::string& GetName() const noexcept { return name; }

    /** The full names of all ports on the server ("client:port"), one a line. */
    std::string ListPorts() const;

private:
    std::string name;
    pid_t pid = -1;
    bool running = false;
};
