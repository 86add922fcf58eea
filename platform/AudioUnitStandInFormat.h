#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

/** Takes the Audio Unit format's place, which Linux lacks, so the formats keep their
    order and names. It recognises what the Audio Unit format would (identifiers that
    start "AudioUnit:", and ".component" and ".appex" bundles) but describes nothing,
    instantiates nothing and searches nowhere.
*/
class AudioUnitStandInFormat : public juce::AudioPluginFormat
{
public:
    AudioUnitStandInFormat() = default;

    juce::String getName() const override { return "AudioUnit"; }

    void findAllTypesForFile (juce::OwnedArray<juce::PluginDescription>&, const juce::String&) override {}
    bool fileMightContainThisPluginType (const juce::String& fileOrIdentifier) override;
    juce::String getNameOfPluginFromIdentifier (const juce::String& fileOrIdentifier) override;
    bool pluginNeedsRescanning (const juce::PluginDescription&) override { return false; }
    bool doesPluginStillExist (const juce::PluginDescription&) override { return false; }
    bool canScanForPlugins() const override { return false; }
    bool isTrivialToScan() const override { return true; }
    juce::StringArray searchPathsForPlugins (const juce::FileSearchPath&, bool, bool) override { return {}; }
    juce::FileSearchPath getDefaultLocationsToSearch() override { return {}; }

private:
    void createPluginInstance (const juce::PluginDescription&, double, int, PluginCreationCallback) override;
    bool requiresUnblockedMessageThreadDuringCreation (const juce::PluginDescription&) const override { return false; }

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioUnitStandInFormat)
};
