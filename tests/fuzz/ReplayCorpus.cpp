// Runs every file of the given folders through the fuzz target once: the seeds and any
// input the fuzzer once found stay checked in every build, without the fuzzer.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size);

int main (int argc, char** argv)
{
    int inputs = 0;

    for (int i = 1; i < argc; ++i)
    {
        for (const auto& entry : std::filesystem::directory_iterator (argv[i]))
        {
            std::ifstream file (entry.path(), std::ios::binary);
            const std::string bytes { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };
            LLVMFuzzerTestOneInput (reinterpret_cast<const std::uint8_t*> (bytes.data()), bytes.size());
            ++inputs;
        }
    }

    std::cout << inputs << " inputs read as config.json, every promise kept\n";
    return inputs > 0 ? 0 : 1;
}
