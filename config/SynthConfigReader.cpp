// cereal's JSON archive must be the first to include RapidJSON: it makes RapidJSON's
// assertions throw instead of abort.
#include <cereal/archives/json.hpp>

#include "SynthConfigReader.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

/** How the configuration file spells the record: cereal finds this through the record's
    namespace, so that the record itself needs nothing of cereal. */
template <class Archive>
void serialize (Archive& archive, SynthConfig& config)
{
    archive (cereal::make_nvp ("name", config.name),
             cereal::make_nvp ("filePath", config.filePath));
}

namespace
{
/** Walks the text as the parser reads it, up to the first NUL, and shows visit each
    position outside string literals; visit may move the position on, and stops the walk
    by returning false. */
template <typename Visit>
void WalkOutsideStrings (const std::string& text, Visit&& visit)
{
    bool inString = false;
    bool escaped = false;

    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i)
    {
        const char c = text[i];

        if (inString)
        {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        }
        else if (c == '"')
            inString = true;
        else if (! visit (i))
            return;
    }
}

bool StartsNumber (char c)
{
    return c == '-' || (c >= '0' && c <= '9') || c == 'N' || c == 'I';  // NaN, Inf, Infinity
}

bool EndsValue (char c)
{
    return c == ',' || c == ']' || c == '}' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0';
}

/** RapidJSON 1.1.0 reads some numbers wrongly in full precision: one whose digits are
    all zero, such as 0e100, makes it pass zero to __builtin_clzll, and one too large for
    a double, such as 12345678901234567890e300, makes it read past its table of powers of
    ten. The configuration never uses a number's value, only that it is a number; so once
    the parser has accepted the text with numbers kept as text, every number reaches the
    archive as 0. A text that the parser refuses reaches it as nothing, which fails the
    way any unparseable text does.
*/
std::string WithHarmlessNumbers (const std::string& text)
{
    rapidjson::Reader reader;
    rapidjson::BaseReaderHandler<> acceptEverything;
    rapidjson::StringStream stream (text.c_str());

    if (reader.Parse<rapidjson::kParseDefaultFlags | rapidjson::kParseNumbersAsStringsFlag> (stream, acceptEverything)
            .IsError())
        return {};

    std::string harmless;
    size_t copied = 0;

    WalkOutsideStrings (text, [&] (size_t& position)
    {
        if (StartsNumber (text[position]))
        {
            harmless.append (text, copied, position - copied).append ("0");
            while (position + 1 < text.size() && ! EndsValue (text[position + 1]))
                ++position;
            copied = position + 1;
        }
        return true;
    });

    return harmless.append (text, copied, text.find ('\0', copied) - copied);
}

/** Runs one read and keeps Load's promises about it: a whole record names the
    application, and any failure is one line on the error stream. */
template <typename ReadRecord>
bool LoadThrough (ReadRecord&& read, const SynthConfig& config, std::string& applicationName,
                  std::ostream& errors)
{
    try
    {
        read();
        applicationName = config.name;
        return true;
    }
    catch (const std::exception& e)
    {
        errors << "Failed to load config: " << e.what() << "\n";
        return false;
    }
}
}

bool SynthConfigReader::NestingWithinBound (const std::string& text)
{
    // A text with no more openings than the bound cannot nest deeper than it, wherever
    // they stand; counting them is much cheaper than the walk, and most texts stop here.
    int openings = 0;
    for (auto i = text.find_first_of ("{["); i != std::string::npos && openings <= maxNestingDepth;
         i = text.find_first_of ("{[", i + 1))
        ++openings;

    if (openings <= maxNestingDepth)
        return true;

    int depth = 0;

    WalkOutsideStrings (text, [&depth, &text] (size_t& position)
    {
        const char c = text[position];

        if (c == '{' || c == '[')
            return ++depth <= maxNestingDepth;

        if ((c == '}' || c == ']') && depth > 0)
            --depth;

        return true;
    });

    return depth <= maxNestingDepth;
}

void SynthConfigReader::Read (const std::string& path, SynthConfig& config)
{
    // A file that is missing or cannot be opened reads as an empty text, and so does
    // anything but a plain file: a pipe would wait for a writer, a device might never end.
    std::string text;
    std::error_code error;
    if (std::filesystem::is_regular_file (path, error))
    {
        std::ifstream file (path);
        text.assign (std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>());
    }

    ReadText (text, config);
}

void SynthConfigReader::ReadText (const std::string& text, SynthConfig& config)
{
    // A text too deep to parse safely fails the way any unparseable text does.
    std::istringstream stream (NestingWithinBound (text) ? WithHarmlessNumbers (text) : std::string());
    cereal::JSONInputArchive archive (stream);

    try
    {
        archive (config);
    }
    catch (const cereal::RapidJSONException&)
    {
        throw;
    }
    catch (const cereal::Exception& e)
    {
        // This cereal release checks the root cursor's end before its emptiness and so
        // reports an empty root object or array in other words; report it as the
        // empty-root failure it is.
        if (std::string (e.what()) == "No more objects in input")
            throw cereal::Exception ("JSONInputArchive internal error: null or empty iterator to object or array!");
        throw;
    }
}

bool SynthConfigReader::Load (const std::function<std::string()>& locateFile, SynthConfig& config,
                              std::string& applicationName, std::ostream& errors)
{
    return LoadThrough ([&] { Read (locateFile(), config); }, config, applicationName, errors);
}

bool SynthConfigReader::LoadText (const std::string& text, SynthConfig& config,
                                  std::string& applicationName, std::ostream& errors)
{
    return LoadThrough ([&] { ReadText (text, config); }, config, applicationName, errors);
}
