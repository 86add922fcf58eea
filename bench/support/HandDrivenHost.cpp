#include "HandDrivenHost.h"

namespace
{
// The component shows a modal alert when no device opens, which would hang a benchmark
// that has no one to close it: find out first. A JACK server that has only just started
// on a busy machine may turn a client away at first.
bool audioDeviceOpens()
{
    for (int attempt = 0; attempt < 5; ++attempt)
    {
        juce::AudioDeviceManager devices;
        devices.initialise (0, 2, nullptr, true);
        if (devices.getCurrentAudioDevice() != nullptr)
            return true;

        juce::Thread::sleep (500);
    }
    return false;
}
}

HandDrivenHost::HandDrivenHost (int blockSize, double sampleRate)
{
    if (! audioDeviceOpens())
    {
        problem = "no audio device opens (run through scripts/bench, which starts a JACK dummy server)";
        return;
    }

    host = std::make_unique<MainComponent> (config, applicationName);

    if (Probe().plugin() == nullptr)
    {
        problem = "the instrument did not load: " + Probe().errorLabel().getText();
        return;
    }

    host->deviceManager.closeAudioDevice();
    host->prepareToPlay (blockSize, sampleRate);
}

HandDrivenHost::~HandDrivenHost() = default;

bool HandDrivenHost::IsReady (juce::String& reason) const
{
    reason = problem;
    return problem.isEmpty();
}

void HandDrivenHost::Render (juce::AudioBuffer<float>& buffer)
{
    host->getNextAudioBlock (juce::AudioSourceChannelInfo (buffer));
}
