#pragma once

#include <string>

#include <juce_core/juce_core.h>

/** The application's resource folder: "Resources" beside the running executable. */
juce::File GetApplicationResourcesFolder();

/** The absolute path of the resource with the file name's base name and extension in
    the application's resource folder, a file or a folder, or "" when there is none.
    Any folder part of the name is ignored.
*/
std::string GetFilenameForResourceInMacBundle (const std::string& fileName);
