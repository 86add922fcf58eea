#include "CountingCallback.h"

void CountingCallback::audioDeviceIOCallbackWithContext (const float* const*, int, float* const* outputs, int numOutputs,
                                                         int numSamples, const juce::AudioIODeviceCallbackContext&)
{
    for (int channel = 0; channel < numOutputs; ++channel)
        if (outputs[channel] != nullptr)
            juce::FloatVectorOperations::clear (outputs[channel], numSamples);

    calls.fetch_add (1, std::memory_order_relaxed);
}

void CountingCallback::audioDeviceAboutToStart (juce::AudioIODevice*) {}
void CountingCallback::audioDeviceStopped() {}
