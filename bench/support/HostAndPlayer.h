#pragma once

#include <memory>

#include <juce_audio_utils/juce_audio_utils.h>

#include "FormatHost.h"
#include "MainComponentProbe.h"

/** MainComponent, built here as the app builds it (an audio device must open) and taken
    off its device, beside juce::AudioProcessorPlayer with its own instance of the
    instrument: a benchmark calls both audio callbacks itself at one block size and rate. */
class HostAndPlayer
{
public:
    HostAndPlayer (int blockSize, double sampleRate);
    ~HostAndPlayer();

    /** False, with the reason on the standard error stream, when either is not ready. */
    bool CheckReady (const char* programName) const;

    MainComponentProbe Host() const { return { *host }; }
    void RenderHost (juce::AudioBuffer<float>& buffer);

    juce::AudioPluginInstance& PlayerInstrument() const { return *instrument; }
    juce::AudioProcessorPlayer& Player() { return player; }

    /** The player plays this processor (its instrument, or a stand-in in front of it) from
        now on, prepared as a device would prepare it; nullptr stops it. */
    void Play (juce::AudioProcessor* processor);
    void RenderPlayer (juce::AudioBuffer<float>& buffer);

private:
    SynthConfig config;
    const std::string applicationName { "Tarnwell App" };
    std::unique_ptr<MainComponent> host;
    FormatHost formats;
    std::unique_ptr<juce::AudioPluginInstance> instrument;
    std::unique_ptr<juce::AudioIODevice> device;
    juce::AudioProcessorPlayer player;
    juce::String problem;
};
