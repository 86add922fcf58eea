#include "TarnwellSynth.h"

namespace
{
constexpr float pitchBendRangeSemitones = 2.0f;
constexpr int sustainPedalController = 64;
}

void TarnwellSynth::Prepare (double sampleRate)
{
    for (auto& voice : voices)
        voice.Prepare (sampleRate);

    heldByPedal.fill (false);
    pedalDown = false;
}

void TarnwellSynth::Render (juce::AudioBuffer<float>& output, const juce::MidiBuffer& midi,
                            const VoiceSettings& settings) noexcept
{
    const auto numSamples = output.getNumSamples();
    auto position = 0;

    const auto renderUpTo = [&] (int end)
    {
        if (end > position)
            for (auto& voice : voices)
                voice.Render (output, position, end - position, settings);

        position = juce::jmax (position, end);
    };

    for (const auto event : midi)
    {
        renderUpTo (juce::jlimit (0, numSamples, event.samplePosition));
        Handle (event.getMessage(), settings);
    }

    renderUpTo (numSamples);
}

void TarnwellSynth::Handle (const juce::MidiMessage& message, const VoiceSettings& settings) noexcept
{
    if (message.isNoteOn())
        StartNote (message.getNoteNumber(), message.getFloatVelocity(), settings);
    else if (message.isNoteOff())
        ReleaseNote (message.getNoteNumber());
    else if (message.isPitchWheel())
    {
        const auto semitones = (float) (message.getPitchWheelValue() - 8192) / 8192.0f * pitchBendRangeSemitones;
        for (auto& voice : voices)
            voice.SetPitchBend (semitones);
    }
    else if (message.isControllerOfType (sustainPedalController))
    {
        pedalDown = message.getControllerValue() >= 64;
        if (! pedalDown)
            ReleaseSustainedNotes();
    }
    else if (message.isAllNotesOff())
    {
        pedalDown = false;
        for (auto& voice : voices)
            voice.Release();
        heldByPedal.fill (false);
    }
    else if (message.isAllSoundOff())
    {
        pedalDown = false;
        for (auto& voice : voices)
            voice.Silence();
        heldByPedal.fill (false);
    }
}

void TarnwellSynth::StartNote (int midiNote, float velocity, const VoiceSettings& settings) noexcept
{
    auto& voice = ChooseVoice (midiNote);
    heldByPedal[(size_t) (&voice - voices.data())] = false;
    voice.Start (midiNote, velocity, ++notesStarted, settings.envelope);
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
