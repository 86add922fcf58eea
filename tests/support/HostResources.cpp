#include "HostResources.h"

#include "BundleResources.h"

namespace HostResources
{
juce::File Folder()
{
    return GetApplicationResourcesFolder();
}

void Clear()
{
    Folder().createDirectory();
    for (auto* name : { "Tarnwell App.vst", "error.png" })
    {
        const auto entry = Folder().getChildFile (name);
        if (entry.isSymbolicLink())
            entry.deleteFile();
        else
            entry.deleteRecursively();
    }
}

void InstallShippedInstrument()
{
    Clear();
    juce::File (ORVO_APP_RESOURCES_DIR).getChildFile ("Tarnwell App.vst")
        .createSymbolicLink (Folder().getChildFile ("Tarnwell App.vst"), true);
}

void InstallInstrumentLibrary (const juce::File& sharedObject)
{
    Clear();
    const auto inner = Folder().getChildFile ("Tarnwell App.vst/Contents/x86_64-linux");
    inner.createDirectory();
    sharedObject.createSymbolicLink (inner.getChildFile ("Tarnwell App.so"), true);
}

void InstallErrorImage()
{
    juce::File (ORVO_APP_RESOURCES_DIR).getChildFile ("error.png")
        .copyFileTo (Folder().getChildFile ("error.png"));
}
}
