#include "AppProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

AppProcess::AppProcess (const juce::File& executable,
                        const Environment& environment,
                        std::vector<std::string> arguments)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::none_of (environment.begin(), environment.end(),
                          [entry] (auto& set) { return std::string (*entry).rfind (set.first + "=", 0) == 0; }))
            variables.push_back (*entry);
    for (const auto& [name, value] : environment)
        variables.push_back (name + "=" + value);
    arguments.insert (arguments.begin(), executable.getFullPathName().toStdString());

    const auto pointers = [] (std::vector<std::string>& strings)
    {
        std::vector<char*> result (strings.size() + 1, nullptr);
        std::transform (strings.begin(), strings.end(), result.begin(), [] (std::string& s) { return s.data(); });
        return result;
    };
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, 2, (outputFolder / "stderr.txt").getFullPathName().toRawUTF8(),
                                      O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawnattr_init (&attributes);
    posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETPGROUP);
    if (posix_spawn (&pid, arguments[0].c_str(), &actions, &attributes, pointers (arguments).data(),
                     pointers (variables).data())
        != 0)
        pid = -1;
    posix_spawnattr_destroy (&attributes);
    posix_spawn_file_actions_destroy (&actions);
}

std::optional<int> AppProcess::WaitForExit (int timeoutMilliseconds)
{
    for (auto waited = 0; ! exitCode.has_value() && pid > 0; waited += 10)
    {
        int status = 0;
        if (::waitpid (pid, &status, WNOHANG) == pid)
            exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
        else if (waited >= timeoutMilliseconds)
            break;
        else
            juce::Thread::sleep (10);
    }
    return exitCode;
}
