// The instrument's processBlock on a real-time thread: the real-time sanitizer ends the
// process when anything inside the marked scope allocates, frees or takes a lock.

#include <gtest/gtest.h>

#include "TarnwellProcessor.h"

extern "C" void __rtsan_realtime_enter(), __rtsan_realtime_exit();

TEST (TarnwellRealtime, ProcessesBlocksWithoutAllocatingOrLocking)
{
    TarnwellProcessor instrument;
    instrument.prepareToPlay (48000.0, 256);
    juce::AudioBuffer<float> buffer (2, 256);

    // Twenty notes on sixteen voices, a bend, the pedal, releases, all-notes-off, and
    // system-exclusive messages too long to fit inside a juce::MidiMessage.
    std::vector<juce::MidiBuffer> blocks (8);
    const std::vector<juce::uint8> sysEx (64, 0x11);
    for (int note = 0; note < 20; ++note)
    {
        blocks[0].addEvent (juce::MidiMessage::noteOn (1, 40 + note, (juce::uint8) (60 + note)), note * 10);
        blocks[3].addEvent (juce::MidiMessage::noteOff (1, 40 + note), note);
        blocks[0].addEvent (juce::MidiMessage::createSysExMessage (sysEx.data(), (int) sysEx.size()), note * 10 + 5);
    }
    const std::pair<int, juce::MidiMessage> others[] { { 1, juce::MidiMessage::pitchWheel (1, 12000) },
                                                       { 2, juce::MidiMessage::controllerEvent (1, 64, 127) },
                                                       { 4, juce::MidiMessage::controllerEvent (1, 64, 0) },
                                                       { 5, juce::MidiMessage::noteOn (1, 72, (juce::uint8) 127) },
                                                       { 6, juce::MidiMessage::allNotesOff (1) },
                                                       { 7, juce::MidiMessage::allSoundOff (1) } };
    for (const auto& [block, message] : others)
        blocks[(size_t) block].addEvent (message, 5 * block);
    instrument.getParameters()[0]->setValueNotifyingHost (0.5f);

    __rtsan_realtime_enter();  // as the audio thread is
    for (int repeat = 0; repeat < 20 * 8; ++repeat)
        instrument.processBlock (buffer, blocks[(size_t) repeat / 20]);
    __rtsan_realtime_exit();
    instrument.releaseResources();
}
