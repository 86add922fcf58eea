// Any bytes as the text of "config.json", read in memory through the same steps as the
// file that the application factory reads, must keep the load's promises; the fuzzer
// itself reports crashes, hangs and memory errors.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "SynthConfigReader.h"

static void require (bool holds, const char* what)
{
    if (! holds)
        std::fprintf (stderr, "broken promise: %s\n", what), std::abort();
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    SynthConfig config;
    std::string applicationName;
    std::ostringstream errors;
    if (SynthConfigReader::LoadText ({ reinterpret_cast<const char*> (data), size }, config, applicationName, errors))
    {
        require (errors.str().empty(), "a successful load writes nothing");
        require (applicationName == config.name, "a successful load names the application");
    }
    else
    {
        const auto written = errors.str();
        require (written.rfind ("Failed to load config: ", 0) == 0 && written.find ('\n') == written.size() - 1,
                 "a failed load writes exactly one failure line");
        require (applicationName.empty(), "a failed load leaves the application unnamed");
        require (config.filePath.empty(), "a failed load never completes the record");
    }
    return 0;
}
