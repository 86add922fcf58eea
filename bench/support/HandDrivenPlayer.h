#pragma once

#include <memory>

#include <juce_audio_utils/juce_audio_utils.h>

#include "FakeAudioDevice.h"
#include "FormatHost.h"

/** The framework's own way to play a plug-in, juce::AudioProcessorPlayer, driving its
    own instance of the instrument: started against a device that never runs, so that a
    benchmark calls its audio callback itself, as HandDrivenHost does for MainComponent.
*/
class HandDrivenPlayer
{
public:
    HandDrivenPlayer (int blockSize, double sampleRate);
    ~HandDrivenPlayer();

    bool IsReady (juce::String& reason) const;

    juce::AudioPluginInstance& Instrument() const { return *instrument; }
    juce::MidiMessageCollector& Collector() { return player.getMidiMessageCollector(); }
    juce::AudioProcessorPlayer& Player() { return player; }

    /** Plays the given processor (the instrument, or something standing in front of it)
        from now on, prepared as the device would prepare it. */
    void Play (juce::AudioProcessor& processor);

    /** Stops playing and lets go of the processor, so that it may be destroyed. */
    void Stop();

    /** One block into the buffer, which must hold two channels of the block size. */
    void Render (juce::AudioBuffer<float>& buffer);

private:
    FormatHost formats;
    std::unique_ptr<juce::AudioPluginInstance> instrument;
    FakeAudioDevice device;
    juce::AudioProcessorPlayer player;
    juce::String problem;
};
