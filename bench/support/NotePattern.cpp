#include "NotePattern.h"

void NotePattern::Feed (int blockIndex, std::initializer_list<juce::MidiMessageCollector*> collectors) const
{
    if (blockIndex % 2 != 0)
        return;

    const auto noteIndex = blockIndex / 2;
    const auto now = juce::Time::getMillisecondCounterHiRes() * 0.001;
    const auto noteOn = juce::MidiMessage::noteOn (1, NoteNumber (noteIndex), (juce::uint8) 100).withTimeStamp (now);
    const auto noteOff = juce::MidiMessage::noteOff (1, NoteNumber (noteIndex - heldNotes)).withTimeStamp (now);

    for (auto* collector : collectors)
    {
        if (noteIndex >= heldNotes)
            collector->addMessageToQueue (noteOff);
        collector->addMessageToQueue (noteOn);
    }
}

int NotePattern::NoteNumber (int noteIndex)
{
    // Three octaves from C3 upwards, so that no note is started again while it still sounds.
    return 48 + noteIndex % 36;
}
