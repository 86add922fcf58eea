#include "FormatHost.h"

#include "AudioUnitStandInFormat.h"
#include "VSTBundlePluginFormat.h"

const char* toleratedAssertion = nullptr;

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
