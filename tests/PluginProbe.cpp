// Hosts each plug-in bundle named on the command line as the application does (describe,
// instantiate, prepare, play a note and release it, open and close its editor, release),
// so that a memory checker can watch both sides of the VST 2 interface at work.
// Exits with 1 when a bundle cannot be described, instantiated or played.

#include <cmath>
#include <iostream>

#include "FormatHost.h"

namespace
{
juce::JUCEApplicationBase* NoApplication()
{
    return nullptr;
}

bool Play (juce::AudioPluginInstance& instance)
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
                    return false;
                heard = std::max (heard, std::abs (sample));
            }
    }

    return heard > 0.0f;
}

bool Probe (const juce::String& bundle)
{
    FormatHost host;

    if (host.Scan (bundle) != 1)
    {
        std::cerr << "not described: " << bundle << "\n";
        return false;
    }

    juce::String error;
    auto instance = host.InstantiateFirst (48000.0, 256, error);

    if (instance == nullptr)
    {
        std::cerr << "not instantiated: " << bundle << ": " << error << "\n";
        return false;
    }

    instance->prepareToPlay (48000.0, 256);
    const auto played = Play (*instance);

    if (instance->hasEditor())
        std::unique_ptr<juce::AudioProcessorEditor> (instance->createEditor()).reset();

    instance->releaseResources();

    if (! played)
        std::cerr << "silent or not finite: " << bundle << "\n";

    return played;
}
}

int main (int argc, char** argv)
{
    juce::JUCEApplicationBase::createInstance = &NoApplication;
    juce::ScopedJuceInitialiser_GUI framework;

    auto allPlayed = true;

    for (int i = 1; i < argc; ++i)
        allPlayed = Probe (juce::File::getCurrentWorkingDirectory().getChildFile (argv[i]).getFullPathName()) && allPlayed;

    return allPlayed ? 0 : 1;
}
