#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "SynthConfig.h"

/** Reads a configuration file into a SynthConfig.

    The configuration object is the root's first member (whatever its key) or the root
    array's first element; it must hold the string members "name" and "filePath".
    Every failure is thrown as a std::exception whose what() names the reason; the
    record then holds what was read before the failure.

    The file's road and the text's road differ only in where the bytes come from: a
    file is read whole into a text, and from there both take the same steps.

    A file nested deeper than maxNestingDepth is refused as unparseable before the
    recursive parser sees it, so no file can exhaust the stack.
*/
class SynthConfigReader
{
public:
    static constexpr int maxNestingDepth = 512;

    static void Read (const std::string& path, SynthConfig& config);

    /** Reads the text of a configuration file, already in memory. */
    static void ReadText (const std::string& text, SynthConfig& config);

    /** The application factory's road: locates the file, reads it into the record and,
        only when the whole record loaded, copies its name into applicationName. Any
        std::exception on the way becomes exactly one line on the error stream,
        "Failed to load config: " and the reason, and start-up goes on.
        Returns whether the whole record loaded.
    */
    static bool Load (const std::function<std::string()>& locateFile, SynthConfig& config,
                      std::string& applicationName, std::ostream& errors);

    /** Load's promises for the text of a configuration file, already in memory. */
    static bool LoadText (const std::string& text, SynthConfig& config,
                          std::string& applicationName, std::ostream& errors);

    /** True when no object or array in the text opens deeper than maxNestingDepth. */
    static bool NestingWithinBound (const std::string& text);
};
