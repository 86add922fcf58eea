#include "PrivateJackServer.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

PrivateJackServer::PrivateJackServer (const juce::String& serverName, int sampleRate, int blockSize)
    : name (serverName)
{
    const juce::StringArray arguments { "jackd", "-n", name, "-r", "-d", "dummy",
                                        "-r", juce::String (sampleRate), "-p", juce::String (blockSize) };
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back (const_cast<char*> (argument.toRawUTF8()));
    argv.push_back (nullptr);

    // The server's chatter would mix with the figures.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto spawned = posix_spawnp (&pid, "jackd", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy (&actions);

    if (spawned != 0)
    {
        pid = -1;
        return;
    }

    const auto wait = "timeout 10 jack_wait -w -s '" + name + "' >/dev/null 2>&1";
    answered = std::system (wait.toRawUTF8()) == 0;
}

PrivateJackServer::~PrivateJackServer()
{
    if (pid <= 0)
        return;

    ::kill (pid, SIGTERM);
    int status = 0;
    ::waitpid (pid, &status, 0);
}
