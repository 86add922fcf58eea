#include "TarnwellSynth.h"

namespace
{
constexpr float pitchBendRangeSemitones = 2.0f;
constexpr int sustainPedalController = 64;
constexpr int allSoundOffController = 120;
constexpr int allNotesOffController = 123;
}

void TarnwellSynth::Prepare (double sampleRate)
{
    for (auto& voice : voices)
        voice.Prepare (sampleRate);

    controls.Prepare (sampleRate);
    heldByPedal.fill (false);
    pedalDown = false;
}

void TarnwellSynth::Render (juce::AudioBuffer<float>& output, const juce::MidiBuffer& midi,
                            const VoiceSettings& settings) noexcept
{
    const auto numSamples = output.getNumSamples();
    auto position = 0;
    ControlFrame frame;
    controls.SetTargets (settings);

    const auto renderUpTo = [&] (int end)
    {
        while (position < end)
        {
            const auto length = juce::jmin (end - position, ControlFrame::maxSamples);
            controls.Advance (length, frame);

            for (auto& voice : voices)
                voice.Render (output, position, length, frame);

            position += length;
        }
    };

    for (const auto event : midi)
    {
        renderUpTo (juce::jlimit (0, numSamples, event.samplePosition));
        Handle (event.data, event.numBytes);
    }

    renderUpTo (numSamples);
}

void TarnwellSynth::Handle (const juce::uint8* data, int numBytes) noexcept
{
    // Straight from the buffer's bytes: a juce::MidiMessage of a long message, such as
    // system exclusive, would allocate on the audio thread. System messages and the
    // channel messages not handled below change nothing here.
    if (numBytes < 2)
        return;

    const auto first = data[1] & 0x7f;
    const auto second = numBytes > 2 ? data[2] & 0x7f : 0;

    switch (data[0] & 0xf0)
    {
        case 0x90:
            if (second > 0)
            {
                StartNote (first, (float) second / 127.0f);
                break;
            }
            [[fallthrough]]; // a note-on at velocity zero ends the note

        case 0x80:
            ReleaseNote (first);
            break;

        case 0xb0:
            HandleController (first, second);
            break;

        case 0xe0:
        {
            const auto semitones = (float) ((first | (second << 7)) - 8192) / 8192.0f * pitchBendRangeSemitones;
            for (auto& voice : voices)
                voice.SetPitchBend (semitones);
            break;
        }

        default:
            break;
    }
}

void TarnwellSynth::HandleController (int controller, int value) noexcept
{
    if (controller == sustainPedalController)
    {
        pedalDown = value >= 64;
        if (! pedalDown)
            ReleaseSustainedNotes();
    }
    else if (controller == allNotesOffController || controller == allSoundOffController)
    {
        pedalDown = false;
        for (auto& voice : voices)
        {
            if (controller == allSoundOffController)
                voice.Silence();
            else
                voice.Release();
        }
        heldByPedal.fill (false);
    }
}

void TarnwellSynth::StartNote (int midiNote, float velocity) noexcept
{
    auto& voice = ChooseVoice (midiNote);
    heldByPedal[(size_t) (&voice - voices.data())] = false;
    voice.Start (midiNote, velocity, ++notesStarted);
}

void TarnwellSynth::ReleaseNote (int midiNote) noexcept
{
    for (size_t i = 0; i < voices.size(); ++i)
    {
        auto& voice = voices[i];

        if (voice.IsSounding() && ! voice.IsReleasing() && voice.GetNote() == midiNote && ! heldByPedal[i])
        {
            if (pedalDown)
                heldByPedal[i] = true;
            else
                voice.Release();
        }
    }
}

void TarnwellSynth::ReleaseSustainedNotes() noexcept
{
    for (size_t i = 0; i < voices.size(); ++i)
    {
        if (heldByPedal[i])
            voices[i].Release();

        heldByPedal[i] = false;
    }
}

TarnwellVoice& TarnwellSynth::ChooseVoice (int midiNote) noexcept
{
    // The same note again takes over its own voice rather than doubling it.
    for (auto& voice : voices)
        if (voice.IsSounding() && voice.GetNote() == midiNote)
            return voice;

    for (auto& voice : voices)
        if (! voice.IsSounding())
            return voice;

    TarnwellVoice* oldestReleased = nullptr;
    TarnwellVoice* oldest = &voices.front();

    for (auto& voice : voices)
    {
        if (voice.IsReleasing() && (oldestReleased == nullptr || voice.GetStartOrder() < oldestReleased->GetStartOrder()))
            oldestReleased = &voice;

        if (voice.GetStartOrder() < oldest->GetStartOrder())
            oldest = &voice;
    }

    return oldestReleased != nullptr ? *oldestReleased : *oldest;
}

int TarnwellSynth::CountSoundingVoices() const noexcept
{
    int count = 0;

    for (const auto& voice : voices)
        if (voice.IsSounding())
            ++count;

    return count;
}

bool TarnwellSynth::IsHoldingNote (int midiNote) const noexcept
{
    for (const auto& voice : voices)
        if (voice.IsSounding() && ! voice.IsReleasing() && voice.GetNote() == midiNote)
            return true;

    return false;
}
