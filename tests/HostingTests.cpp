// Plug-in bundles hosted in this process as the app hosts them, with a memory checker on both
// sides of the VST 2 interface (ctest runs the first test under Valgrind, the sanitized build all).

#include <cmath>

#include <gtest/gtest.h>

#include "FormatHost.h"
#include "TemporaryFolder.h"

namespace
{
enum class Outcome
{
    undescribed,
    uninstantiable,
    silent,
    sounding
};

/** Plays a note for a while and lets it go; gives whether anything was heard. */
Outcome Play (juce::AudioPluginInstance& instance)
{
    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    float loudest = 0.0f;
    for (int block = 0; block < 40; ++block)
    {
        buffer.clear();
        midi.clear();
        if (block % 20 == 0)
            midi.addEvent (block == 0 ? juce::MidiMessage::noteOn (1, 69, (juce::uint8) 100)
                                      : juce::MidiMessage::noteOff (1, 69),
                           0);
        instance.processBlock (buffer, midi);
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_TRUE (std::all_of (buffer.getReadPointer (channel), buffer.getReadPointer (channel) + 256,
                                      [] (float x) { return std::isfinite (x); }));
        loudest = std::max (loudest, buffer.getMagnitude (0, 256));
    }
    return loudest > 0.0f ? Outcome::sounding : Outcome::silent;
}
}

TEST (Hosting, BringsEachBundleToWhatTheTableSays)
{
    TemporaryFolder folder;
    const auto editorless = ReadFile (SharedObjectIn (GetTestPluginBundle ("Editorless"), "Editorless"));
    WriteFile (SharedObjectIn (folder / "Renamed.vst", "Editorless"), editorless);
    WriteFile (folder / "Stray.so", editorless);
    SharedObjectIn (folder / "Empty.vst", "").getParentDirectory().createDirectory();
    (folder / "Synth.component").createDirectory();

    struct Case
    {
        const char* description;
        juce::String path;
        Outcome outcome;
        bool hasEditor = false;
        const char* toleratedAssertion = nullptr;
    };
    std::vector<Case> cases {
        { "the shipped instrument", GetInstrumentBundle().getFullPathName(), Outcome::sounding, true },
        { "an instrument without an editor", GetTestPluginBundle ("Editorless").getFullPathName(), Outcome::silent },
        { "an instrument described once, then never again", GetTestPluginBundle ("DescribedOnce").getFullPathName(),
          Outcome::uninstantiable },
        { "a bundle whose shared object is garbage", GetTestPluginBundle ("Garbage").getFullPathName(),
          Outcome::undescribed },
        { "a bundle without its shared object", (folder / "Empty.vst").getFullPathName(), Outcome::undescribed },
        { "a bundle whose shared object has another name", (folder / "Renamed.vst").getFullPathName(),
          Outcome::undescribed },
        { "a shared object outside a bundle", (folder / "Stray.so").getFullPathName(), Outcome::undescribed },
        { "an Audio Unit bundle", (folder / "Synth.component").getFullPathName(), Outcome::undescribed },
        { "an Audio Unit identifier", "AudioUnit:Synths/aumu,Tarn,Clvr", Outcome::undescribed },
    };
    if (GetTestPluginBundle ("Kars").exists())
        cases.push_back ({ "an instrument built by others (Kars), which leaves its effect's object pointer empty",
                           GetTestPluginBundle ("Kars").getFullPathName(), Outcome::sounding, false,
                           "juce_VSTPluginFormat.cpp:2161" });

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        const juce::ScopedValueSetter<const char*> tolerating (toleratedAssertion, c.toleratedAssertion);
        FormatHost host;
        juce::String error;
        auto instance = host.Scan (c.path) == 1 ? host.InstantiateFirst (48000.0, 256, error) : nullptr;
        auto outcome = host.GetDescriptions().isEmpty() ? Outcome::undescribed : Outcome::uninstantiable;
        EXPECT_LE (host.GetDescriptions().size(), 1);

        if (instance != nullptr)
        {
            const auto& description = *host.GetDescriptions().getFirst();
            EXPECT_EQ (description.pluginFormatName, "VST");
            EXPECT_TRUE (description.isInstrument);
            EXPECT_TRUE (juce::File (description.fileOrIdentifier).isAChildOf (c.path)) << description.fileOrIdentifier;

            instance->prepareToPlay (48000.0, 256);
            outcome = Play (*instance);
            EXPECT_EQ (instance->hasEditor(), c.hasEditor);
            EXPECT_EQ (std::unique_ptr<juce::AudioProcessorEditor> (instance->createEditorIfNeeded()) != nullptr,
                       c.hasEditor);
            instance->releaseResources();
        }
        EXPECT_EQ (outcome, c.outcome);
        EXPECT_TRUE (outcome != Outcome::uninstantiable || error.isNotEmpty()) << "the framework's reason";
    }
}

//==============================================================================
namespace
{
/** The application object that gives the framework the host's name, as the app's does. */
struct NamedApplication final : juce::JUCEApplication
{
    explicit NamedApplication (std::string nameToUse) : name (std::move (nameToUse)) {}
    const juce::String getApplicationName() override { return juce::String::fromUTF8 (name.data(), (int) name.size()); }
    const juce::String getApplicationVersion() override { return {}; }
    void initialise (const juce::String&) override {}
    void shutdown() override {}
    std::string name;
};
}

// A plug-in may ask for the host's vendor and product names in a buffer of 64 bytes.
TEST (Hosting, TellsThePluginItsNameCutToWholeCharactersInSixtyFourBytes)
{
    const auto repeat = [] (const char* piece, int times)
    {
        return juce::String::repeatedString (juce::String::fromUTF8 (piece), times).toStdString();
    };
    // 1 + 20 x 3 bytes fit, a 21st euro sign would not.
    const std::pair<std::string, std::string> cases[] {
        { "Merovalt", "Merovalt" },
        { "", "" },
        { repeat ("x", 80), repeat ("x", 62) },
        { "a" + repeat ("\xe2\x82\xac", 30), "a" + repeat ("\xe2\x82\xac", 20) },
        { repeat ("\xf0\x9f\x8e\xb9", 20), repeat ("\xf0\x9f\x8e\xb9", 15) }
    };

    for (const auto& [name, heard] : cases)
    {
        SCOPED_TRACE (name);
        TemporaryFolder folder;
        setenv ("ORVO_HOST_NAME_RECORD", (folder / "names.txt").getFullPathName().toRawUTF8(), 1);
        {
            NamedApplication application (name);
            FormatHost host;
            juce::String error;
            host.Scan (GetTestPluginBundle ("Editorless").getFullPathName());
            host.InstantiateFirst (48000.0, 256, error);
        }
        unsetenv ("ORVO_HOST_NAME_RECORD");

        // Asked at the describing load and at the instantiating one.
        const auto answer = [&heard = heard] (const char* question)
        {
            return question + ("\t" + std::to_string (heard.size() + 1) + "\t" + heard + "\n");
        };
        EXPECT_EQ (ReadFile (folder / "names.txt"),
                   answer ("vendor") + answer ("product") + answer ("vendor") + answer ("product"));
    }
}
