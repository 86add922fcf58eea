#pragma once

#include <atomic>

#include <gtest/gtest.h>

#include "HostResources.h"
#include "MainComponentProbe.h"

inline const std::string productName = "Tarnwell App";

/** Counts the note messages that pass the on-screen keyboard's state, which sees every
    message of a block exactly once. */
struct NoteCounter : juce::MidiKeyboardState::Listener
{
    void handleNoteOn (juce::MidiKeyboardState*, int, int, float) override { ++noteOns; }
    void handleNoteOff (juce::MidiKeyboardState*, int, int, float) override { ++noteOffs; }
    std::atomic<int> noteOns { 0 }, noteOffs { 0 };
};

inline juce::MidiMessage arrivingNow (const juce::MidiMessage& message)
{
    return message.withTimeStamp (juce::Time::getMillisecondCounterHiRes() * 0.001);
}

inline float peakOf (const juce::AudioBuffer<float>& buffer)
{
    float peak = 0.0f;
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        peak = std::max (peak, buffer.getMagnitude (channel, 0, buffer.getNumSamples()));
    return peak;
}

inline void pumpMessages (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}

class Host : public ::testing::Test
{
protected:
    void TearDown() override
    {
        host.reset();
        HostResources::Clear();
    }

    MainComponentProbe build (const std::string& name = productName)
    {
        applicationName = name;
        host = std::make_unique<MainComponent> (config, applicationName);
        return { *host };
    }

    /** Takes the component off the audio device so that the test drives its blocks. */
    void driveBlocksByHand (int blockSize, double sampleRate)
    {
        host->deviceManager.closeAudioDevice();
        host->prepareToPlay (blockSize, sampleRate);
        buffer.setSize (2, blockSize);
    }

    void renderBlock()
    {
        buffer.clear();
        // A stale value in the block must not survive: the callback clears it first.
        buffer.setSample (0, 0, 1.0f);
        host->getNextAudioBlock (juce::AudioSourceChannelInfo (buffer));
    }

    SynthConfig config;
    std::string applicationName;
    std::unique_ptr<MainComponent> host;
    juce::AudioBuffer<float> buffer;
};

