// Any bytes as the text of "config.json", read in memory through the same steps as the
// file that the application factory reads. The load either succeeds in silence or writes
// exactly one "Failed to load config: " line; the fuzzer itself reports crashes, hangs
// and memory errors.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "LoadPromises.h"
#include "SynthConfigReader.h"

namespace
{
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

void RequireLoadPromises (bool loaded, const SynthConfig& config, const std::string& applicationName,
                          const std::string& errors)
{
    if (loaded)
    {
        require (errors.empty(), "a successful load writes nothing");
        require (applicationName == config.name, "a successful load names the application");
    }
    else
    {
        require (isOneFailureLine (errors), "a failed load writes exactly one failure line");
        require (applicationName.empty(), "a failed load leaves the application unnamed");
        require (config.filePath.empty(), "a failed load never completes the record");
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const std::string text (reinterpret_cast<const char*> (data), size);

    SynthConfig config;
    std::string applicationName;
    std::ostringstream errors;
    const auto loaded = SynthConfigReader::LoadText (text, config, applicationName, errors);

    RequireLoadPromises (loaded, config, applicationName, errors.str());
    return 0;
}
