#include "VSTBundlePluginFormat.h"

namespace
{
/** The shared object inside a bundle folder, when the folder is a bundle that has one. */
juce::File SharedObjectOfBundle (const juce::File& bundle)
{
    const auto baseName = bundle.getFileNameWithoutExtension();

    if (! bundle.isDirectory() || ! bundle.hasFileExtension (".vst") || baseName.isEmpty())
        return {};

    const auto sharedObject = bundle.getChildFile (juce::String ("Contents/") + VSTBundlePluginFormat::platformFolder
                                                   + "/" + baseName + ".so");
    return sharedObject.existsAsFile() ? sharedObject : juce::File();
}
}

juce::File VSTBundlePluginFormat::FindSharedObject (const juce::String& fileOrIdentifier)
{
    if (! juce::File::isAbsolutePath (fileOrIdentifier))
        return {};

    const juce::File file (fileOrIdentifier);

    if (file.isDirectory())
        return SharedObjectOfBundle (file);

    // A description made here names the bundle's shared object, and the framework checks
    // that name again before it instantiates; three folders up is the bundle.
    const auto bundle = file.getParentDirectory().getParentDirectory().getParentDirectory();
    const auto sharedObject = SharedObjectOfBundle (bundle);

    return sharedObject == file ? sharedObject : juce::File();
}

bool VSTBundlePluginFormat::fileMightContainThisPluginType (const juce::String& fileOrIdentifier)
{
    return FindSharedObject (fileOrIdentifier) != juce::File();
}

void VSTBundlePluginFormat::findAllTypesForFile (juce::OwnedArray<juce::PluginDescription>& results,
                                                 const juce::String& fileOrIdentifier)
{
    const auto sharedObject = FindSharedObject (fileOrIdentifier);

    if (sharedObject != juce::File())
        VSTPluginFormat::findAllTypesForFile (results, sharedObject.getFullPathName());
}
