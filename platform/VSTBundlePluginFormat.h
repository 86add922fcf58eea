#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** The VST 2 format for plug-ins shipped as bundles: a folder "<name>.vst" that holds
    its shared object at "Contents/<platformFolder>/<name>.so".

    The framework's VST 2 format on Linux knows only bare shared objects. This one
    describes a bundle by describing the bundle's shared object, so each description it
    makes names that shared object and the framework instantiates it from there. A bare
    shared object outside a bundle is not recognised.
*/
class VSTBundlePluginFormat : public juce::VSTPluginFormat
{
public:
    VSTBundlePluginFormat() = default;

    /** The folder in a bundle's "Contents" for the machine this is built for, such as
        "x86_64-linux" or "aarch64-linux"; the build assembles the instrument's bundle
        with the same name. */
    static constexpr const char* platformFolder = ORVO_VST_PLATFORM_FOLDER;

    /** True for a bundle folder that holds its shared object, and for that shared object. */
    bool fileMightContainThisPluginType (const juce::String& fileOrIdentifier) override;

    void findAllTypesForFile (juce::OwnedArray<juce::PluginDescription>& results,
                              const juce::String& fileOrIdentifier) override;

private:
    /** The shared object that a bundle folder, or a bundle's own shared object, stands
        for; a non-existent file for anything else.
    */
    static juce::File FindSharedObject (const juce::String& fileOrIdentifier);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VSTBundlePluginFormat)
};
