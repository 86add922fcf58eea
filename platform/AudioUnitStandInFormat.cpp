#include "AudioUnitStandInFormat.h"

bool AudioUnitStandInFormat::fileMightContainThisPluginType (const juce::String& fileOrIdentifier)
{
    if (fileOrIdentifier.startsWith ("AudioUnit:"))
        return true;

    const auto bundle = juce::File::createFileWithoutCheckingPath (fileOrIdentifier);
    return bundle.hasFileExtension (".component;.appex") && bundle.isDirectory();
}

juce::String AudioUnitStandInFormat::getNameOfPluginFromIdentifier (const juce::String& fileOrIdentifier)
{
    return fileOrIdentifier;
}

void AudioUnitStandInFormat::createPluginInstance (const juce::PluginDescription&, double, int,
                                                   PluginCreationCallback callback)
{
    callback (nullptr, "Audio Units cannot be loaded on this system");
}
