#pragma once

#include <array>
#include <cstdint>

#include <juce_audio_basics/juce_audio_basics.h>

#include "SmoothedControls.h"
#include "TarnwellVoice.h"
#include "VoiceSettings.h"

/** Plays MIDI on a fixed set of voices. A note that finds no free voice takes over the
    oldest of the released voices, or else the oldest held one. Nothing here allocates
    or locks once prepared, so it runs on the audio thread.
*/
class TarnwellSynth
{
public:
    static constexpr int numVoices = 16;

    void Prepare (double sampleRate);

    /** Adds the sound of the block to the buffer, each MIDI event at its sample position,
        with the controls moving smoothly towards the settings.
    */
    void Render (juce::AudioBuffer<float>& output, const juce::MidiBuffer& midi,
                 const VoiceSettings& settings) noexcept;

    int CountSoundingVoices() const noexcept;
    bool IsHoldingNote (int midiNote) const noexcept;

private:
    void Handle (const juce::uint8* data, int numBytes) noexcept;
    void HandleController (int controller, int value) noexcept;
    void StartNote (int midiNote, float velocity) noexcept;
    void ReleaseNote (int midiNote) noexcept;
    void ReleaseSustainedNotes() noexcept;
    TarnwellVoice& ChooseVoice (int midiNote) noexcept;

    std::array<TarnwellVoice, numVoices> voices;
    std::array<bool, numVoices> heldByPedal {};
    SmoothedControls controls;
    std::uint64_t notesStarted = 0;
    bool pedalDown = false;
};
