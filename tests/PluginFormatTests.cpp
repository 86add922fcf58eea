#include <gtest/gtest.h>

#include "AudioUnitStandInFormat.h"
#include "FormatHost.h"
#include "TemporaryFolder.h"
#include "VSTBundlePluginFormat.h"

namespace
{
juce::String PathOf (const juce::File& file)
{
    return file.getFullPathName();
}

/** A copy of a built test plug-in's bundle in a temporary folder, under another name if
    asked, so that tests can take it apart.
*/
juce::File CopyBundle (const TemporaryFolder& folder, const juce::String& name, const juce::String& newName)
{
    const auto copy = folder / (newName + ".vst");
    copy.getChildFile ("Contents/x86_64-linux").createDirectory();
    GetTestPluginBundle (name).getChildFile ("Contents/x86_64-linux/" + name + ".so")
        .copyFileTo (copy.getChildFile ("Contents/x86_64-linux/" + newName + ".so"));
    return copy;
}
}

//==============================================================================
TEST (AudioUnitStandIn, RecognisesOnlyAudioUnitIdentifiersAndBundles)
{
    TemporaryFolder folder;
    (folder / "Synth.component").createDirectory();
    (folder / "Extension.appex").createDirectory();
    WriteFile (folder / "File.component", "not a folder");

    AudioUnitStandInFormat format;
    EXPECT_EQ (format.getName(), "AudioUnit");
    EXPECT_TRUE (format.fileMightContainThisPluginType ("AudioUnit:Synths/aumu,Tarn,Clvr"));
    EXPECT_TRUE (format.fileMightContainThisPluginType (PathOf (folder / "Synth.component")));
    EXPECT_TRUE (format.fileMightContainThisPluginType (PathOf (folder / "Extension.appex")));

    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (folder / "File.component")));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (GetInstrumentBundle())));
    EXPECT_FALSE (format.fileMightContainThisPluginType (""));
}

TEST (AudioUnitStandIn, DescribesInstantiatesAndFindsNothing)
{
    TemporaryFolder folder;
    (folder / "Synth.component").createDirectory();

    AudioUnitStandInFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, "AudioUnit:Synths/aumu,Tarn,Clvr");
    format.findAllTypesForFile (found, PathOf (folder / "Synth.component"));
    format.findAllTypesForFile (found, PathOf (GetInstrumentBundle()));
    EXPECT_TRUE (found.isEmpty());

    juce::PluginDescription description;
    description.pluginFormatName = "AudioUnit";
    description.fileOrIdentifier = "AudioUnit:Synths/aumu,Tarn,Clvr";
    juce::String error;
    EXPECT_EQ (format.createInstanceFromDescription (description, 48000.0, 256, error), nullptr);
    EXPECT_TRUE (error.isNotEmpty());

    EXPECT_TRUE (format.searchPathsForPlugins (juce::FileSearchPath (PathOf (folder.getFolder())), true, false).isEmpty());
    EXPECT_EQ (format.getDefaultLocationsToSearch().getNumPaths(), 0);
}

//==============================================================================
TEST (VSTBundleFormat, RecognisesABundleAndItsOwnSharedObject)
{
    VSTBundlePluginFormat format;
    const auto bundle = GetTestPluginBundle ("Editorless");

    EXPECT_TRUE (format.fileMightContainThisPluginType (PathOf (bundle)));
    EXPECT_TRUE (format.fileMightContainThisPluginType (PathOf (bundle.getChildFile ("Contents/x86_64-linux/Editorless.so"))));
}

TEST (VSTBundleFormat, RecognisesNothingButBundlesThatHoldTheirSharedObject)
{
    TemporaryFolder folder;
    const auto emptyBundle = folder / "Empty.vst";
    emptyBundle.getChildFile ("Contents/x86_64-linux").createDirectory();
    const auto renamed = CopyBundle (folder, "Editorless", "Renamed");
    const auto misnamedObject = renamed.getChildFile ("Contents/x86_64-linux/Renamed.so");
    const auto strayObject = folder / "Stray.so";
    misnamedObject.copyFileTo (strayObject);
    misnamedObject.moveFileTo (renamed.getChildFile ("Contents/x86_64-linux/Other.so"));
    WriteFile (folder / "File.vst", "not a folder");

    VSTBundlePluginFormat format;
    EXPECT_FALSE (format.fileMightContainThisPluginType (""));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (folder / "Missing.vst")));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (emptyBundle)));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (renamed)));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (renamed.getChildFile ("Contents/x86_64-linux/Other.so"))));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (strayObject)));
    EXPECT_FALSE (format.fileMightContainThisPluginType (PathOf (folder / "File.vst")));
    EXPECT_FALSE (format.fileMightContainThisPluginType ("Editorless.vst"));
}

//==============================================================================
TEST (PluginScan, DescribesNothingForAnEmptyOrMissingPathOrABundleWithoutItsSharedObject)
{
    TemporaryFolder folder;
    const auto emptyBundle = folder / "Tarnwell App.vst";
    emptyBundle.getChildFile ("Contents/x86_64-linux").createDirectory();

    EXPECT_EQ (FormatHost().Scan (""), 0);
    EXPECT_EQ (FormatHost().Scan (PathOf (folder / "Missing.vst")), 0);
    EXPECT_EQ (FormatHost().Scan (PathOf (emptyBundle)), 0);
}

TEST (PluginScan, DescribesNothingForABundleWhoseSharedObjectIsGarbage)
{
    FormatHost host;
    EXPECT_EQ (host.Scan (PathOf (GetTestPluginBundle ("Garbage"))), 0);
}

TEST (PluginScan, DescribesAPluginThatThenCannotBeInstantiated)
{
    FormatHost host;
    ASSERT_EQ (host.Scan (PathOf (GetTestPluginBundle ("DescribedOnce"))), 1);

    juce::String error;
    EXPECT_EQ (host.InstantiateFirst (48000.0, 256, error), nullptr);
    EXPECT_TRUE (error.isNotEmpty());
}

TEST (PluginScan, GivesNoEditorForAPluginWithoutOneAndStillPlaysIt)
{
    FormatHost host;
    ASSERT_EQ (host.Scan (PathOf (GetTestPluginBundle ("Editorless"))), 1);

    juce::String error;
    auto instance = host.InstantiateFirst (48000.0, 256, error);
    ASSERT_NE (instance, nullptr) << error;

    instance->prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 0);
    instance->processBlock (buffer, midi);

    EXPECT_FALSE (instance->hasEditor());
    EXPECT_EQ (std::unique_ptr<juce::AudioProcessorEditor> (instance->createEditor()), nullptr);
    instance->releaseResources();
}
