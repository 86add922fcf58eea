#pragma once

#include <juce_core/juce_core.h>

/** Fills the test program's own Resources/ folder the way each host test needs it. */
namespace HostResources
{
/** Removes "Tarnwell App.vst" and "error.png" from the test's resources. */
void Clear();

/** The instrument the app ships, as built. */
void InstallShippedInstrument();

/** A "Tarnwell App.vst" folder around the given shared object. */
void InstallInstrumentLibrary (const juce::File& sharedObject);

/** The app's own "error.png". */
void InstallErrorImage();

juce::File Folder();
}
