#include "DeviceManagerProbe.h"

namespace
{
struct MidiCallbacksTag {};

template <typename Tag, auto member>
struct Reach
{
    friend auto reach (Tag) { return member; }
};

auto reach (MidiCallbacksTag);
template struct Reach<MidiCallbacksTag, &juce::AudioDeviceManager::midiCallbacks>;
}

int CountMidiInputCallbacks (juce::AudioDeviceManager& manager, juce::MidiInputCallback* callback,
                             const juce::String& identifier)
{
    int count = 0;
    for (const auto& info : manager.*reach (MidiCallbacksTag {}))
        if (info.callback == callback && info.deviceIdentifier == identifier)
            ++count;
    return count;
}

int CountAllMidiInputCallbacks (juce::AudioDeviceManager& manager)
{
    return (manager.*reach (MidiCallbacksTag {})).size();
}
