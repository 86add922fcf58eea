#include "JackServer.h"

#include <csignal>
#include <vector>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <juce_core/juce_core.h>

namespace
{
pid_t startQuietly (const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back (const_cast<char*> (argument.c_str()));
    argv.push_back (nullptr);

    const auto pid = ::fork();
    if (pid == 0)
    {
        const int nowhere = ::open ("/dev/null", O_WRONLY);
        ::dup2 (nowhere, STDOUT_FILENO);
        ::dup2 (nowhere, STDERR_FILENO);
        ::execvp (argv[0], argv.data());
        ::_exit (127);
    }
    return pid;
}

std::string outputOf (const juce::StringArray& command)
{
    juce::ChildProcess process;
    if (! process.start (command, juce::ChildProcess::wantStdOut))
        return {};
    return process.readAllProcessOutput().toStdString();
}
}

JackServer::JackServer (const std::string& serverName, int sampleRate, int blockSize) : name (serverName)
{
    // No real-time scheduling (-r before the driver). The server's chatter goes nowhere.
    pid = startQuietly ({ "jackd", "-n", name, "-r", "-d", "dummy",
                          "-r", std::to_string (sampleRate), "-p", std::to_string (blockSize) });
    if (pid <= 0)
        return;

    const auto answer = outputOf ({ "jack_wait", "-w", "-t", "10", "-s", juce::String (name) });
    running = answer.find ("available") != std::string::npos;

    // A server that has only just started may still turn a client away: wait until its
    // own playback ports are listed, which it does once its engine runs.
    for (int attempt = 0; running && attempt < 100; ++attempt)
    {
        if (ListPorts().find ("system:playback_1") != std::string::npos)
            return;
        juce::Thread::sleep (50);
    }
}

JackServer::~JackServer()
{
    if (pid <= 0)
        return;

    ::kill (pid, SIGTERM);
    int status = 0;
    ::waitpid (pid, &status, 0);
}

std::string JackServer::ListPorts() const
{
    return outputOf ({ "jack_lsp", "-s", juce::String (name) });
}
