#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "LowPassFilter.h"
#include "TarnwellSynth.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;

/** Settings for a plain, open sound: no filter colour, full sustain. */
VoiceSettings OpenSettings (float squareAmount)
{
    VoiceSettings settings;
    settings.squareAmount = squareAmount;
    settings.cutoffHertz = 20000.0f;
    settings.envelope = { 0.001f, 0.01f, 1.0f, 0.05f };
    return settings;
}

class Synth : public ::testing::Test
{
protected:
    void SetUp() override { synth.Prepare (sampleRate); }

    /** Renders one block with the given MIDI and gives its left channel. */
    std::vector<float> Block (std::initializer_list<std::pair<juce::MidiMessage, int>> events = {})
    {
        juce::MidiBuffer midi;
        for (const auto& [message, position] : events)
            midi.addEvent (message, position);

        juce::AudioBuffer<float> buffer (2, blockSize);
        buffer.clear();
        synth.Render (buffer, midi, settings);
        return { buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize };
    }

    void RenderSeconds (double seconds)
    {
        for (int i = 0; i < (int) (seconds * sampleRate / blockSize); ++i)
            Block();
    }

    static juce::MidiMessage On (int note) { return juce::MidiMessage::noteOn (1, note, (juce::uint8) 100); }
    static juce::MidiMessage Off (int note) { return juce::MidiMessage::noteOff (1, note); }

    TarnwellSynth synth;
    VoiceSettings settings = OpenSettings (0.0f);
};

/** The level in decibels of the signal's component at a frequency (Hann window). */
double LevelAt (const std::vector<float>& signal, double hertz)
{
    const auto n = signal.size();
    double re = 0.0, im = 0.0;

    for (size_t i = 0; i < n; ++i)
    {
        const auto window = 0.5 - 0.5 * std::cos (2.0 * juce::MathConstants<double>::pi * (double) i / (double) n);
        const auto angle = 2.0 * juce::MathConstants<double>::pi * hertz * (double) i / sampleRate;
        re += window * signal[i] * std::cos (angle);
        im -= window * signal[i] * std::sin (angle);
    }

    return 20.0 * std::log10 (std::sqrt (re * re + im * im) + 1.0e-12);
}

float PeakOf (const std::vector<float>& signal, size_t from = 0)
{
    float peak = 0.0f;
    for (auto i = from; i < signal.size(); ++i)
        peak = std::max (peak, std::abs (signal[i]));
    return peak;
}

/** The steady gain of the filter for a sine at a frequency. */
float FilterGain (float cutoff, float resonance, double hertz)
{
    LowPassFilter filter;
    filter.SetParameters (cutoff, resonance, sampleRate);
    float peak = 0.0f;

    for (int i = 0; i < (int) sampleRate; ++i)
    {
        const auto out = filter.Process ((float) std::sin (2.0 * juce::MathConstants<double>::pi * hertz * i / sampleRate));
        if (i > (int) sampleRate / 2)
            peak = std::max (peak, std::abs (out));
    }

    return peak;
}
}

//==============================================================================
TEST_F (Synth, KeepsAliasingOfTheTopNoteFarBelowItsFundamental)
{
    for (const auto squareAmount : { 0.0f, 1.0f })
    {
        SCOPED_TRACE (squareAmount);
        settings = OpenSettings (squareAmount);
        synth.Prepare (sampleRate);

        const auto topC = 108;
        const auto fundamental = 440.0 * std::pow (2.0, (topC - 69) / 12.0);
        std::vector<float> sound;
        Block ({ { On (topC), 0 } });
        for (int i = 0; i < 40; ++i)
        {
            const auto block = Block();
            sound.insert (sound.end(), block.begin(), block.end());
        }

        const auto reference = LevelAt (sound, fundamental);
        auto worstAlias = -300.0;

        for (double hertz = 20.0; hertz <= 20000.0; hertz += 5.0)
        {
            const auto harmonic = hertz / fundamental;
            if (std::abs (harmonic - std::round (harmonic)) * fundamental > 30.0)
                worstAlias = std::max (worstAlias, LevelAt (sound, hertz));
        }

        EXPECT_LT (worstAlias - reference, -45.0);
    }
}

TEST_F (Synth, StartsEachNoteAtItsSamplePositionInTheBlock)
{
    const auto block = Block ({ { On (60), 128 } });

    EXPECT_EQ (PeakOf ({ block.begin(), block.begin() + 128 }), 0.0f);
    EXPECT_GT (PeakOf (block, 128), 0.0f);
}

TEST_F (Synth, SoundsSixteenNotesAndTheSeventeenthTakesOverTheOldest)
{
    for (int note = 40; note < 56; ++note)
        Block ({ { On (note), 0 } });
    EXPECT_EQ (synth.CountSoundingVoices(), 16);

    Block ({ { On (70), 0 } });
    EXPECT_EQ (synth.CountSoundingVoices(), 16);
    EXPECT_FALSE (synth.IsHoldingNote (40));
    EXPECT_TRUE (synth.IsHoldingNote (41));
    EXPECT_TRUE (synth.IsHoldingNote (70));
}

TEST_F (Synth, TakesOverAReleasedVoiceBeforeAHeldOne)
{
    settings.envelope.release = 2.0f;
    for (int note = 40; note < 56; ++note)
        Block ({ { On (note), 0 } });

    Block ({ { Off (50), 0 } });
    Block ({ { On (70), 0 } });

    EXPECT_TRUE (synth.IsHoldingNote (40));
    EXPECT_TRUE (synth.IsHoldingNote (70));
    EXPECT_EQ (synth.CountSoundingVoices(), 16);
}

TEST_F (Synth, PlaysARepeatedNoteOnOneVoice)
{
    Block ({ { On (60), 0 }, { On (60), 100 } });
    EXPECT_EQ (synth.CountSoundingVoices(), 1);
}

TEST_F (Synth, FallsSilentAfterNoteOff)
{
    Block ({ { On (60), 0 } });
    Block ({ { Off (60), 0 } });
    RenderSeconds (0.2);

    EXPECT_EQ (synth.CountSoundingVoices(), 0);
    EXPECT_EQ (PeakOf (Block()), 0.0f);
}

TEST_F (Synth, FadesANoteReleasedBeforeItsDecayEnds)
{
    settings.envelope = { 0.001f, 1.0f, 0.0f, 0.2f };
    Block ({ { On (60), 0 } });
    RenderSeconds (0.1);
    Block ({ { Off (60), 0 } });

    EXPECT_GT (PeakOf (Block()), 0.01f);
    EXPECT_EQ (synth.CountSoundingVoices(), 1);
}

TEST_F (Synth, HoldsReleasedNotesWhileTheSustainPedalIsDown)
{
    const auto pedal = [] (int value) { return juce::MidiMessage::controllerEvent (1, 64, value); };

    Block ({ { pedal (127), 0 }, { On (60), 0 } });
    Block ({ { Off (60), 0 } });
    RenderSeconds (0.2);
    EXPECT_TRUE (synth.IsHoldingNote (60));

    Block ({ { pedal (0), 0 } });
    RenderSeconds (0.2);
    EXPECT_EQ (synth.CountSoundingVoices(), 0);
}

//==============================================================================
TEST (Filter, PassesLowFrequenciesAndCutsHighOnes)
{
    EXPECT_NEAR (FilterGain (1000.0f, 0.0f, 100.0), 1.0f, 0.02f);
    EXPECT_LT (FilterGain (1000.0f, 0.0f, 4000.0), 0.07f);
}

TEST (Filter, RingsAtItsCutoffWhenResonantAndStaysStableAtTheLimits)
{
    EXPECT_LT (FilterGain (1000.0f, 0.0f, 1000.0), 0.55f);
    EXPECT_GT (FilterGain (1000.0f, 0.95f, 1000.0), 4.0f);

    const auto extreme = FilterGain (30000.0f, 1.0f, 15000.0);
    EXPECT_TRUE (std::isfinite (extreme));
    EXPECT_LT (extreme, 100.0f);
}
