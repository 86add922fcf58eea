#pragma once

#include "VSTBundlePluginFormat.h"

/** Hosts plug-ins as the application does: the Audio Unit stand-in first, then the VST
    bundle format, each asked to describe the path; the first description instantiated. */
class FormatHost
{
public:
    FormatHost();

    /** Has every format describe the path; gives the number of descriptions found so far. */
    int Scan (const juce::String& path);
    const juce::OwnedArray<juce::PluginDescription>& GetDescriptions() const noexcept { return descriptions; }

    /** An instance of the first description, or none with the framework's error text. */
    std::unique_ptr<juce::AudioPluginInstance>
        InstantiateFirst (double sampleRate, int blockSize, juce::String& errorText)
    {
        return descriptions.isEmpty()
                   ? nullptr
                   : formatManager.createPluginInstance (*descriptions.getFirst(), sampleRate, blockSize, errorText);
    }

private:
    juce::AudioPluginFormatManager formatManager;
    juce::KnownPluginList knownPluginList;
    juce::OwnedArray<juce::PluginDescription> descriptions;
};

/** A framework assertion ("file:line") that a plug-in built by others is known to cause;
    while set, the tests' logger lets it pass. */
extern const char* toleratedAssertion;

/** The instrument bundle as the build puts it among the app's resources. */
inline juce::File GetInstrumentBundle()
{
    return juce::File (ORVO_APP_RESOURCES_DIR).getChildFile ("Tarnwell App.vst");
}

/** A bundle under the build's test plug-ins ("Editorless", "DescribedOnce", "Crashing", "Strict", "Garbage",
    "Kars"). */
inline juce::File GetTestPluginBundle (const juce::String& name)
{
    return juce::File (ORVO_TEST_PLUGINS_DIR).getChildFile (name + ".vst");
}

/** Where a bundle keeps the shared object of that name on this platform. */
inline juce::File SharedObjectIn (const juce::File& bundle, const juce::String& name)
{
    return bundle.getChildFile (juce::String ("Contents/") + VSTBundlePluginFormat::platformFolder + "/" + name
                                + ".so");
}
