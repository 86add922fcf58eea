#pragma once

#include <initializer_list>

#include <juce_audio_devices/juce_audio_devices.h>

/** The MIDI the benchmarks play: before every other block one note starts and the note
    started eight notes earlier ends, so that MIDI arrives for half of the blocks and eight
    voices sound once the pattern is under way. Notes climb three octaves from C3, so no
    note starts again while it still sounds. */
struct NotePattern
{
    static constexpr int heldNotes = 8;

    /** Queues the messages due before block `blockIndex` in each collector, stamped as
        arriving now, as a MIDI driver would hand them over. */
    static void Feed (int blockIndex, std::initializer_list<juce::MidiMessageCollector*> collectors)
    {
        const auto note = blockIndex / 2;
        const auto now = juce::Time::getMillisecondCounterHiRes() * 0.001;
        for (auto* collector : collectors)
        {
            if (blockIndex % 2 != 0)
                continue;
            if (note >= heldNotes)
                collector->addMessageToQueue (juce::MidiMessage::noteOff (1, 48 + (note - heldNotes) % 36).withTimeStamp (now));
            collector->addMessageToQueue (juce::MidiMessage::noteOn (1, 48 + note % 36, (juce::uint8) 100).withTimeStamp (now));
        }
    }
};
