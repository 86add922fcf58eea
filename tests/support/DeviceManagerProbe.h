#pragma once

#include <juce_audio_devices/juce_audio_devices.h>

/** How many MIDI input callbacks the device manager holds for this callback and device
    identifier (the empty identifier: every enabled input).

    The device manager keeps that list to itself; the tests read it through a pointer to
    the member, which an explicit template instantiation may name.
*/
int CountMidiInputCallbacks (juce::AudioDeviceManager&, juce::MidiInputCallback*, const juce::String& identifier);

/** All MIDI input callbacks the device manager holds, whatever their identifier. */
int CountAllMidiInputCallbacks (juce::AudioDeviceManager&);
