#pragma once

#include <atomic>
#include <cstdint>

#include <juce_audio_devices/juce_audio_devices.h>

/** An audio callback that does nothing but write silence and count its calls: what a
    device does with no host and no instrument behind it.
*/
class CountingCallback : public juce::AudioIODeviceCallback
{
public:
    std::int64_t GetCallCount() const noexcept { return calls.load (std::memory_order_relaxed); }

    void audioDeviceIOCallbackWithContext (const float* const*, int, float* const* outputs, int numOutputs,
                                           int numSamples, const juce::AudioIODeviceCallbackContext&) override;
    void audioDeviceAboutToStart (juce::AudioIODevice*) override;
    void audioDeviceStopped() override;

private:
    std::atomic<std::int64_t> calls { 0 };
};
