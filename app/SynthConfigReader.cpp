// cereal's JSON archive must be the first to include RapidJSON: it makes RapidJSON's
// assertions throw instead of abort.
#include <cereal/archives/json.hpp>

#include "SynthConfigReader.h"

#include <fstream>
#include <iterator>
#include <sstream>

bool SynthConfigReader::NestingWithinBound (const std::string& text)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;

    for (const char c : text)
    {
        if (c == '\0')
            break;  // the parser stops reading here

        if (inString)
        {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }

        if (c == '"')
            inString = true;
        else if (c == '{' || c == '[')
        {
            if (++depth > maxNestingDepth)
                return false;
        }
        else if ((c == '}' || c == ']') && depth > 0)
            --depth;
    }

    return true;
}

void SynthConfigReader::Read (const std::string& path, SynthConfig& config)
{
    // A file that is missing or cannot be opened reads as an empty text.
    std::ifstream file (path);
    std::string text { std::istreambuf_iterator<char> (file), std::istreambuf_iterator<char>() };

    // A text too deep to parse safely fails the way any unparseable text does.
    if (! NestingWithinBound (text))
        text.clear();

    std::istringstream stream (text);
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
