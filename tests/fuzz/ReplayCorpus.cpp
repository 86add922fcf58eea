// Runs every file of the given folders through the fuzz target once, and reads it as a
// file through the application factory's own road: the seeds and any input the fuzzer
// once found stay checked in every build, without the fuzzer, and both roads must keep
// the same promises and come to the same record and the same error line.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "LoadPromises.h"
#include "SynthConfigReader.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size);

namespace
{
struct LoadResult
{
    bool loaded = false;
    SynthConfig config;
    std::string applicationName;
    std::string errors;

    bool operator== (const LoadResult& other) const
    {
        return loaded == other.loaded && config.name == other.config.name
            && config.filePath == other.config.filePath
            && applicationName == other.applicationName && errors == other.errors;
    }
};

template <typename LoadFunction>
LoadResult loadWith (LoadFunction&& load)
{
    LoadResult result;
    std::ostringstream errors;
    result.loaded = load (result.config, result.applicationName, errors);
    result.errors = errors.str();
    RequireLoadPromises (result.loaded, result.config, result.applicationName, result.errors);
    return result;
}
}

int main (int argc, char** argv)
{
    int inputs = 0;

    for (int i = 1; i < argc; ++i)
    {
        for (const auto& entry : std::filesystem::directory_iterator (argv[i]))
        {
            const auto path = entry.path().string();
            std::ifstream file (path, std::ios::binary);
            const std::string bytes { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };
            LLVMFuzzerTestOneInput (reinterpret_cast<const std::uint8_t*> (bytes.data()), bytes.size());

            const auto fromFile = loadWith ([&] (SynthConfig& config, std::string& name, std::ostream& errors)
            {
                return SynthConfigReader::Load ([&] { return path; }, config, name, errors);
            });
            const auto fromText = loadWith ([&] (SynthConfig& config, std::string& name, std::ostream& errors)
            {
                return SynthConfigReader::LoadText (bytes, config, name, errors);
            });

            if (! (fromFile == fromText))
            {
                std::cerr << path << ": the file and its text in memory load differently:\n  file: "
                          << fromFile.errors << "  text: " << fromText.errors;
                std::abort();
            }

            ++inputs;
        }
    }

    std::cout << inputs << " inputs read as config.json from their files and in memory, every promise kept\n";
    return inputs > 0 ? 0 : 1;
}
