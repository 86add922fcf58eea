#pragma once

#include <string>

/** The product's configuration, read once from "config.json" at start-up. Only
    SynthConfigReader knows how the file spells it.
*/
struct SynthConfig
{
    std::string name;      ///< the product name; becomes the application name
    std::string filePath;  ///< required by the file, read by nobody else
};
