#include "FormatHost.h"

#include "AudioUnitStandInFormat.h"
#include "VSTBundlePluginFormat.h"

FormatHost::FormatHost()
{
    formatManager.addFormat (new AudioUnitStandInFormat());
    formatManager.addFormat (new VSTBundlePluginFormat());
}

int FormatHost::Scan (const juce::String& path)
{
    for (auto* format : formatManager.getFormats())
        knownPluginList.scanAndAddFile (path, true, descriptions, *format);

    return descriptions.size();
}

std::unique_ptr<juce::AudioPluginInstance> FormatHost::InstantiateFirst (double sampleRate, int blockSize,
                                                                         juce::String& errorText)
{
    if (descriptions.isEmpty())
        return {};

    return formatManager.createPluginInstance (*descriptions.getFirst(), sampleRate, blockSize, errorText);
}

const char* toleratedAssertion = nullptr;

juce::File GetInstrumentBundle()
{
    return juce::File (ORVO_APP_RESOURCES_DIR).getChildFile ("Tarnwell App.vst");
}

juce::File GetTestPluginBundle (const juce::String& name)
{
    return juce::File (ORVO_TEST_PLUGINS_DIR).getChildFile (name + ".vst");
}
