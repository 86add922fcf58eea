// Every file of the given folders (the seeds and any input the fuzzer once found) through
// the fuzz target once, in every build, and read as a file through the application
// factory's own road, which must come to the same record and error line as in memory.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <tuple>

#include "SynthConfigReader.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size);

int main (int argc, char** argv)
{
    int inputs = 0;
    const auto load = [] (const std::string& path, const std::string* text)
    {
        SynthConfig config;
        std::string name;
        std::ostringstream errors;
        const bool loaded = text != nullptr ? SynthConfigReader::LoadText (*text, config, name, errors)
                                            : SynthConfigReader::Load ([&] { return path; }, config, name, errors);
        return std::make_tuple (loaded, config.name, config.filePath, name, errors.str());
    };

    for (int i = 1; i < argc; ++i)
        for (const auto& entry : std::filesystem::directory_iterator (argv[i]))
        {
            const auto path = entry.path().string();
            const std::string bytes { std::istreambuf_iterator<char> (std::ifstream (path, std::ios::binary).rdbuf()), {} };
            LLVMFuzzerTestOneInput (reinterpret_cast<const std::uint8_t*> (bytes.data()), bytes.size());

            const auto fromFile = load (path, nullptr), fromText = load (path, &bytes);
            if (fromFile != fromText)
            {
                std::cerr << path << ": the file and its text in memory load differently:\n  file: "
                          << std::get<4> (fromFile) << "  text: " << std::get<4> (fromText);
                return 1;
            }
            ++inputs;
        }

    std::cout << inputs << " inputs read as config.json from their files and in memory, every promise kept\n";
    return inputs > 0 ? 0 : 1;
}
