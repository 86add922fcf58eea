// Hosts plug-in bundles as the application does (describe, instantiate, prepare, play a
// note and release it, make and destroy its editor, release), so that a memory checker
// can watch both sides of the VST 2 interface at work.
//
//     PluginProbe OUTCOME BUNDLE [OUTCOME BUNDLE ...]
//
// OUTCOME is what the bundle must come to: "sounding", "silent", "uninstantiable" or
// "undescribed". Exits with 1 when any bundle comes to something else.

#include <cmath>
#include <iostream>

#include "FormatHost.h"

namespace
{
juce::JUCEApplicationBase* NoApplication()
{
    return nullptr;
}

/** Plays a note for a while and lets it go; gives "sounding", "silent" or "not finite". */
juce::String Play (juce::AudioPluginInstance& instance)
{
    constexpr int blockSize = 256;
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;
    auto heard = 0.0f;

    for (int block = 0; block < 40; ++block)
    {
        buffer.clear();
        midi.clear();
        if (block == 0)
            midi.addEvent (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100), 0);
        if (block == 20)
            midi.addEvent (juce::MidiMessage::noteOff (1, 60), 0);

        instance.processBlock (buffer, midi);

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
            for (int i = 0; i < blockSize; ++i)
            {
                const auto sample = buffer.getSample (channel, i);
                if (! std::isfinite (sample))
                    return "not finite";
                heard = std::max (heard, std::abs (sample));
            }
    }

    return heard > 0.0f ? "sounding" : "silent";
}

juce::String Probe (const juce::String& bundle)
{
    FormatHost host;

    if (host.Scan (bundle) == 0)
        return "undescribed";

    juce::String error;
    auto instance = host.InstantiateFirst (48000.0, 256, error);

    if (instance == nullptr)
        return "uninstantiable";

    instance->prepareToPlay (48000.0, 256);
    const auto outcome = Play (*instance);

    if (instance->hasEditor())
        std::unique_ptr<juce::AudioProcessorEditor> (instance->createEditor()).reset();

    instance->releaseResources();
    return outcome;
}
}

int main (int argc, char** argv)
{
    juce::JUCEApplicationBase::createInstance = &NoApplication;
    juce::ScopedJuceInitialiser_GUI framework;

    auto allAsExpected = true;

    for (int i = 1; i + 1 < argc; i += 2)
    {
        const juce::String expected (argv[i]);
        const auto bundle = juce::File::getCurrentWorkingDirectory().getChildFile (argv[i + 1]).getFullPathName();
        const auto outcome = Probe (bundle);

        if (outcome != expected)
        {
            std::cerr << bundle << ": " << outcome << ", expected " << expected << "\n";
            allAsExpected = false;
        }
    }

    return allAsExpected ? 0 : 1;
}
