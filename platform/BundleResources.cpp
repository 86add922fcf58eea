#include "BundleResources.h"

juce::File GetApplicationResourcesFolder()
{
    // /proc/self/exe names the executable itself, so a symlink to it still finds the
    // resources installed beside the real one.
    const auto executable = juce::File ("/proc/self/exe").getLinkedTarget();
    return executable.getParentDirectory().getChildFile ("Resources");
}

std::string GetFilenameForResourceInMacBundle (const std::string& fileName)
{
    auto name = juce::String::fromUTF8 (fileName.data(), (int) fileName.size());

    // The last path component, a trailing separator ignored.
    while (name.endsWithChar ('/') && name.length() > 1)
        name = name.dropLastCharacters (1);
    name = name.fromLastOccurrenceOf ("/", false, false);

    const auto dot = name.lastIndexOfChar ('.');
    const auto baseName = dot < 0 ? name : name.substring (0, dot);
    const auto type = dot < 0 ? juce::String() : name.substring (dot + 1);

    if (baseName.isEmpty() || baseName == "." || baseName == "..")
        return {};

    const auto resourceName = type.isEmpty() ? baseName : baseName + "." + type;
    const auto resource = GetApplicationResourcesFolder().getChildFile (resourceName);

    if (! resource.exists())
        return {};

    return resource.getFullPathName().toStdString();
}
