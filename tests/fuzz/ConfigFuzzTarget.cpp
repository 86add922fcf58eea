// Any bytes as "config.json", read through the application factory's own road. The load
// either succeeds in silence or writes exactly one "Failed to load config: " line; the
// fuzzer itself reports crashes, hangs and memory errors.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include "SynthConfigReader.h"

namespace
{
/** The file that stands for "config.json": in the working folder, one per process,
    removed when the process ends normally. */
const std::string& configPath()
{
    struct ConfigFile
    {
        ~ConfigFile() { std::remove (path.c_str()); }
        const std::string path = "fuzzed-config-" + std::to_string (getpid()) + ".json";
    };

    static const ConfigFile file;
    return file.path;
}

void require (bool holds, const char* what)
{
    if (! holds)
    {
        std::fprintf (stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

bool isOneFailureLine (const std::string& text)
{
    const std::string prefix = "Failed to load config: ";
    return text.compare (0, prefix.size(), prefix) == 0
        && text.find ('\n') == text.size() - 1;
}
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file (configPath(), std::ios::binary | std::ios::trunc);
        file.write (reinterpret_cast<const char*> (data), (std::streamsize) size);
    }

    SynthConfig config;
    std::string applicationName;
    std::ostringstream errors;
    const auto loaded = SynthConfigReader::Load ([] { return configPath(); }, config, applicationName, errors);

    if (loaded)
    {
        require (errors.str().empty(), "a successful load writes nothing");
        require (applicationName == config.name, "a successful load names the application");
    }
    else
    {
        require (isOneFailureLine (errors.str()), "a failed load writes exactly one failure line");
        require (applicationName.empty(), "a failed load leaves the application unnamed");
        require (config.filePath.empty(), "a failed load never completes the record");
    }

    return 0;
}
