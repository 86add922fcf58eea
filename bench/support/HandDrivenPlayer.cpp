#include "HandDrivenPlayer.h"

HandDrivenPlayer::HandDrivenPlayer (int blockSize, double sampleRate)
    : device (sampleRate, blockSize, 2)
{
    formats.Scan (GetInstrumentBundle().getFullPathName());
    instrument = formats.InstantiateFirst (sampleRate, blockSize, problem);

    if (instrument == nullptr && problem.isEmpty())
        problem = "no instrument at " + GetInstrumentBundle().getFullPathName();
}

HandDrivenPlayer::~HandDrivenPlayer()
{
    Stop();
}

bool HandDrivenPlayer::IsReady (juce::String& reason) const
{
    reason = instrument == nullptr ? problem : juce::String();
    return instrument != nullptr;
}

void HandDrivenPlayer::Play (juce::AudioProcessor& processor)
{
    player.setProcessor (&processor);
    player.audioDeviceAboutToStart (&device);
}

void HandDrivenPlayer::Stop()
{
    player.audioDeviceStopped();
    player.setProcessor (nullptr);
}

void HandDrivenPlayer::Render (juce::AudioBuffer<float>& buffer)
{
    player.audioDeviceIOCallbackWithContext (nullptr, 0, buffer.getArrayOfWritePointers(),
                                             buffer.getNumChannels(), buffer.getNumSamples(), {});
}
