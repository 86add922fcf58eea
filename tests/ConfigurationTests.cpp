#include <iostream>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "BundleResources.h"
#include "OrvoHostApplication.h"
#include "SynthConfigReader.h"
#include "TemporaryFolder.h"

namespace
{
using namespace std::string_literals;

const std::string notAnObject = "Failed to load config: rapidjson internal assertion failure: IsObject()\n";
const std::string notAString = "Failed to load config: rapidjson internal assertion failure: IsString()\n";
const std::string emptyRoot =
    "Failed to load config: JSONInputArchive internal error: null or empty iterator to object or array!\n";
const std::string namedPipe = "(a named pipe)";

std::string missingKey (const std::string& key)
{
    return "Failed to load config: JSON Parsing failed - provided NVP (" + key + ") not found\n";
}
std::string nested (int depth, const std::string& inner)
{
    return std::string ((size_t) depth, '[') + inner + std::string ((size_t) depth, ']');
}

struct ConfigCase
{
    const char* description;
    std::optional<std::string> file;  // nothing: no "config.json" at all
    std::string errorLine;  // "" when the load succeeds
    std::string applicationName, name, filePath;
};

const ConfigCase configCases[] = {
    { "a root object's first member holds the configuration",
      R"({"synth": {"name": "Tarnwell App", "filePath": "Tarnwell App.vst"}})", "", "Tarnwell App", "Tarnwell App",
      "Tarnwell App.vst" },
    { "a root array's first element holds the configuration", R"([{"name": "A", "filePath": "B"}, 42])", "", "A", "A",
      "B" },
    { "members after the first are ignored whatever they hold",
      R"({"c": {"name": "A", "filePath": "B"}, "d": [1, null, {"x": NaN}], "e": "text"})", "", "A", "A", "B" },
    { "a later valid configuration does not help when the first member is a string",
      R"({"c": "text", "d": {"name": "A", "filePath": "B"}})", notAnObject, "", "", "" },
    { "the two keys may come in either order", R"({"c": {"filePath": "B", "name": "A"}})", "", "A", "A", "B" },
    { "further members of the configuration object are ignored",
      R"({"c": {"x": 1, "name": "A", "y": [], "filePath": "B", "z": {"w": -Infinity}}})", "", "A", "A", "B" },
    { "with duplicate keys the first of each is taken",
      R"({"c": {"name": "A1", "x": 0, "filePath": "F1", "name": "A2", "filePath": "F2"}})", "", "A1", "A1", "F1" },
    { "a filePath directly after the name taken wins over an earlier one",
      R"({"c": {"filePath": "F1", "name": "A", "filePath": "F2"}})", "", "A", "A", "F2" },
    { "an escaped NUL ends the name", R"({"c": {"name": "Tarn\u0000well", "filePath": "B"}})", "", "Tarn", "Tarn",
      "B" },
    { "an empty name loads without complaint", R"({"c": {"name": "", "filePath": "B"}})", "", "", "", "B" },
    { "numbers whose digits are all zero or that are too large for a double are numbers like any other",
      R"({"c": {"name": "A", "filePath": "B", )"
      R"("x": [0e100, -0.000e-30, 123456789012345678901234567890e300, -Infinity]}})",
      "", "A", "A", "B" },
    { "a number too large for the parser fails like any text it cannot parse",
      R"({"c": {"name": "A", "filePath": "B", "x": 1e999}})", notAnObject, "", "", "" },
    { "multi-byte characters and escapes are decoded to UTF-8",
      R"({"c": {"name": "Caf\u00e9 \ud83c\udfb9 \"Ж\"", "filePath": "B"}})", "",
      "Caf\xc3\xa9 \xf0\x9f\x8e\xb9 \"\xd0\x96\"", "Caf\xc3\xa9 \xf0\x9f\x8e\xb9 \"\xd0\x96\"", "B" },
    { "the text ends at a NUL byte", "{\"c\": {\"name\": \"A\", \"filePath\": \"B\"}}\0 garbage"s, "", "A", "A", "B" },
    { "the configuration shipped with the app", ReadFile (juce::File (ORVO_SOURCE_DIR "/resources/config.json")), "",
      "Tarnwell App", "Tarnwell App", "Tarnwell App.vst" },
    { "a missing file", std::nullopt, notAnObject, "", "", "" },
    { "a pipe, read as an empty file without waiting for a writer", namedPipe, notAnObject, "", "", "" },
    { "an empty file", "", notAnObject, "", "", "" },
    { "a byte-order mark",
      "\xEF\xBB\xBF"
      R"({"c": {"name": "A", "filePath": "B"}})",
      notAnObject, "", "", "" },
    { "a root that is neither object nor array", R"("Tarnwell App")", notAnObject, "", "", "" },
    { "a first value that is a number", R"([5, {"name": "A", "filePath": "B"}])", notAnObject, "", "", "" },
    { "an empty root object", "{}", emptyRoot, "", "", "" },
    { "an empty root array", "[]", emptyRoot, "", "", "" },
    { "no name", R"({"c": {"filePath": "B"}})", missingKey ("name"), "", "", "" },
    { "a name but no filePath keeps the name read, not the application name", R"({"c": {"name": "A"}})",
      missingKey ("filePath"), "", "A", "" },
    { "an array as the configuration value", R"({"c": [{"name": "A", "filePath": "B"}]})", missingKey ("name"), "", "",
      "" },
    { "a number as name", R"({"c": {"name": 5, "filePath": "B"}})", notAString, "", "", "" },
    { "a null as filePath", R"({"c": {"name": "A", "filePath": null}})", notAString, "", "A", "" },
    { "nesting within the bound loads",
      R"({"c": {"name": "A", "filePath": "B", "deep": )" + nested (SynthConfigReader::maxNestingDepth - 2, "1") + "}}",
      "", "A", "A", "B" },
    { "the bound is 512 levels: a 513th fails like text that does not parse",
      R"({"c": {"name": "A", "filePath": "B", "deep": )" + nested (511, "1") + "}}", notAnObject, "", "", "" },
    { "nesting far beyond the bound is a clean failure, not a stack overflow",
      R"({"c": )" + nested (1'000'000, "") + "}", notAnObject, "", "", "" },
    { "brackets inside strings do not count as nesting",
      R"({"c": {"name": ")" + std::string (100'000, '[') + R"(", "filePath": "B"}})", "", std::string (100'000, '['),
      std::string (100'000, '['), "B" },
};
}

// The application factory reads "config.json" in the test's own Resources/ folder.
TEST (ConfigurationFile, IsReadByTheFactoryAsTheTableSays)
{
    const auto config = GetApplicationResourcesFolder().getChildFile ("config.json");

    for (const auto& c : configCases)
    {
        SCOPED_TRACE (c.description);
        config.deleteFile();
        if (c.file == namedPipe)
            ASSERT_EQ (::mkfifo (config.getFullPathName().toRawUTF8(), 0644), 0);
        else if (c.file.has_value())
            WriteFile (config, *c.file);

        std::ostringstream errors;
        auto* previous = std::cerr.rdbuf (errors.rdbuf());
        std::unique_ptr<juce::JUCEApplicationBase> application (juce_CreateApplication());
        std::cerr.rdbuf (previous);
        auto& host = dynamic_cast<OrvoHostApplication&> (*application);

        EXPECT_EQ (errors.str(), c.errorLine);
        EXPECT_EQ (host.getApplicationName().toStdString(), c.applicationName);
        EXPECT_EQ (host.getConfig().name, c.name);
        EXPECT_EQ (host.getConfig().filePath, c.filePath);
        EXPECT_EQ (host.getApplicationVersion().toStdString(), "0.0.0.14") << "whatever the configuration holds";
    }
    config.deleteFile();
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size);

// Every input the fuzzer keeps (its seeds and any it once found) keeps the load's promises,
// and loads from its file through the factory's own road as from its text in memory.
TEST (ConfigurationFile, LoadsEveryFuzzedInputAlikeFromItsFileAndFromMemory)
{
    const auto load = [] (const std::string& path, const std::string* text)
    {
        SynthConfig config;
        std::string name;
        std::ostringstream errors;
        const bool loaded = text != nullptr ? SynthConfigReader::LoadText (*text, config, name, errors)
                                            : SynthConfigReader::Load ([&] { return path; }, config, name, errors);
        return std::make_tuple (loaded, config.name, config.filePath, name, errors.str());
    };

    int inputs = 0;
    for (const auto& entry :
         juce::RangedDirectoryIterator (juce::File (ORVO_SOURCE_DIR "/tests/fuzz/corpus/config"), false))
    {
        ++inputs;
        const auto path = entry.getFile().getFullPathName().toStdString();
        const auto bytes = ReadFile (entry.getFile());
        LLVMFuzzerTestOneInput (reinterpret_cast<const std::uint8_t*> (bytes.data()), bytes.size());
        EXPECT_EQ (load (path, nullptr), load (path, &bytes)) << path;
    }
    EXPECT_GT (inputs, 0);
}
