#pragma once

#include <initializer_list>

#include <juce_audio_devices/juce_audio_devices.h>

/** The MIDI the benchmarks play: before every other block one note starts and the note
    started eight notes earlier ends, so that MIDI arrives for half of the blocks and eight
    voices sound once the pattern is under way.
*/
class NotePattern
{
public:
    static constexpr int heldNotes = 8;

    /** Queues the messages due before block `blockIndex` in each collector, stamped as
        arriving now, as a MIDI driver would hand them over. */
    void Feed (int blockIndex, std::initializer_list<juce::MidiMessageCollector*> collectors) const;

private:
    static int NoteNumber (int noteIndex);
};
