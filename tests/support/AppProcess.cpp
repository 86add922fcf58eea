#include "AppProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

AppInstallation::AppInstallation()
{
    getResources().createDirectory();
    getHome().createDirectory();

    const juce::File built (ORVO_APP_EXECUTABLE);
    const auto target = getExecutable();

    // A hard link keeps the test quick; /proc/self/exe then names the link's folder.
    if (::link (built.getFullPathName().toRawUTF8(), target.getFullPathName().toRawUTF8()) != 0)
        built.copyFileTo (target);
}

juce::File AppInstallation::getSettingsFile() const
{
    return getHome().getChildFile (".config/Application Support/Calvera/Merovalt/Settings.xml");
}

void AppInstallation::WriteConfig (const std::string& json) const
{
    WriteFile (getResources().getChildFile ("config.json"), json);
}

void AppInstallation::AddShippedResource (const juce::String& name) const
{
    juce::File (ORVO_APP_RESOURCES_DIR).getChildFile (name)
        .createSymbolicLink (getResources().getChildFile (name), true);
}

AppProcess::AppProcess (const juce::File& executable,
                        const std::vector<std::pair<std::string, std::string>>& environment,
                        const std::vector<std::string>& arguments)
{
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry)
    {
        const std::string variable (*entry);
        const auto name = variable.substr (0, variable.find ('='));
        bool replaced = false;
        for (const auto& [key, value] : environment)
            replaced = replaced || key == name;
        if (! replaced)
            variables.push_back (variable);
    }
    for (const auto& [key, value] : environment)
        variables.push_back (key + "=" + value);

    std::vector<char*> envp;
    for (auto& variable : variables)
        envp.push_back (variable.data());
    envp.push_back (nullptr);

    const auto path = executable.getFullPathName().toStdString();
    const auto errorPath = (outputFolder / "stderr.txt").getFullPathName().toStdString();

    std::vector<std::string> argumentCopies { path };
    argumentCopies.insert (argumentCopies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& argument : argumentCopies)
        argv.push_back (argument.data());
    argv.push_back (nullptr);

    pid = ::fork();
    if (pid == 0)
    {
        const int errorFile = ::open (errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (errorFile >= 0)
            ::dup2 (errorFile, STDERR_FILENO);
        ::setpgid (0, 0);
        ::execve (path.c_str(), argv.data(), envp.data());
        ::_exit (127);
    }
}

AppProcess::~AppProcess()
{
    if (IsRunning())
    {
        Kill (SIGKILL);
        WaitForExit (5000);
    }
}

bool AppProcess::IsRunning()
{
    return ! WaitForExit (0).has_value();
}

std::optional<int> AppProcess::WaitForExit (int timeoutMilliseconds)
{
    if (exitCode.has_value() || pid <= 0)
        return exitCode;

    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    for (;;)
    {
        int status = 0;
        const auto result = ::waitpid (pid, &status, WNOHANG);

        if (result == pid)
        {
            exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : 128 + WTERMSIG (status);
            return exitCode;
        }

        if (result < 0 && errno != EINTR)
            return exitCode;

        if (juce::Time::getMillisecondCounter() >= deadline)
            return std::nullopt;

        juce::Thread::sleep (10);
    }
}

void AppProcess::Kill (int signalNumber)
{
    if (pid > 0 && ! exitCode.has_value())
        ::kill (pid, signalNumber);
}

std::string AppProcess::GetStandardError() const
{
    return ReadFile (outputFolder / "stderr.txt");
}
