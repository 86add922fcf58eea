#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "LowPassFilter.h"
#include "TarnwellSynth.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
using Signal = std::vector<float>;

int Blocks (double seconds) { return (int) (seconds * sampleRate / blockSize); }
juce::MidiMessage On (int note, int velocity = 100) { return juce::MidiMessage::noteOn (1, note, (juce::uint8) velocity); }
juce::MidiMessage Off (int note) { return juce::MidiMessage::noteOff (1, note); }

class Synth : public ::testing::Test
{
protected:
    /** A plain, open sound: no filter colour, full sustain. */
    void SetUp() override
    {
        synth.Prepare (sampleRate);
        settings.envelope = { 0.001f, 0.01f, 1.0f, 0.05f };
    }

    /** Renders blocks, the MIDI going into the first, and gives their left channel. */
    Signal Play (std::initializer_list<std::pair<juce::MidiMessage, int>> events = {}, int blocks = 1)
    {
        juce::MidiBuffer midi, none;
        for (const auto& [message, position] : events)
            midi.addEvent (message, position);

        Signal left;
        juce::AudioBuffer<float> buffer (2, blockSize);
        for (int block = 0; block < blocks; ++block)
        {
            buffer.clear();
            synth.Render (buffer, block == 0 ? midi : none, settings);
            left.insert (left.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize);
        }
        return left;
    }

    TarnwellSynth synth;
    VoiceSettings settings;
};

/** The level in decibels of the signal's component at a frequency (Hann window). */
double LevelAt (const Signal& signal, double hertz)
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

float PeakOf (const Signal& signal, size_t from = 0, size_t to = SIZE_MAX)
{
    float peak = 0.0f;
    for (auto i = from; i < std::min (to, signal.size()); ++i)
        peak = std::max (peak, std::abs (signal[i]));
    return peak;
}

float LargestStepOf (const Signal& signal)
{
    float largest = 0.0f;
    for (size_t i = 1; i < signal.size(); ++i)
        largest = std::max (largest, std::abs (signal[i] - signal[i - 1]));
    return largest;
}

/** The time a sound takes from a tenth to nine tenths of its way from one steady sound
    to another, read over five milliseconds as how much nearer it has come to the second.
*/
double TransitionMilliseconds (const Signal& from, const Signal& moving, const Signal& to)
{
    constexpr size_t window = 240;
    size_t tenth = 0;

    for (size_t i = 0; i + window <= moving.size(); ++i)
    {
        double left = 0.0, whole = 0.0;
        for (auto j = i; j < i + window; ++j)
        {
            left += (double) (moving[j] - to[j]) * (moving[j] - to[j]);
            whole += (double) (from[j] - to[j]) * (from[j] - to[j]);
        }

        if (tenth == 0 && left <= 0.81 * whole)
            tenth = i;
        if (tenth != 0 && left <= 0.01 * whole)
            return (double) (i - tenth) * 1000.0 / sampleRate;
    }
    return 0.0;
}

/** The steady gain of the filter for a sine at a frequency. */
float FilterGain (float cutoff, float resonance, double hertz)
{
    LowPassFilter filter;
    filter.SetParameters (cutoff, LowPassFilter::DampingFor (resonance), sampleRate);
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
        settings.squareAmount = squareAmount;
        synth.Prepare (sampleRate);

        const auto fundamental = 440.0 * std::pow (2.0, (108 - 69) / 12.0);
        auto sound = Play ({ { On (108), 0 } }, 41);
        sound.erase (sound.begin(), sound.begin() + blockSize);

        auto worstAlias = -300.0;
        for (double hertz = 20.0; hertz <= 20000.0; hertz += 5.0)
            if (std::abs (hertz / fundamental - std::round (hertz / fundamental)) * fundamental > 30.0)
                worstAlias = std::max (worstAlias, LevelAt (sound, hertz));

        EXPECT_LT (worstAlias - LevelAt (sound, fundamental), -45.0);
    }
}

TEST_F (Synth, PlaysEachNoteFromItsSamplePositionAndRepeatsANoteOnItsOwnVoice)
{
    const auto block = Play ({ { On (60), 128 }, { On (60), 200 } });

    EXPECT_EQ (PeakOf (block, 0, 128), 0.0f);
    EXPECT_GT (PeakOf (block, 128), 0.0f);
    EXPECT_EQ (synth.CountSoundingVoices(), 1);
}

TEST_F (Synth, TakesOverAReleasedVoiceBeforeAHeldOneAndElseTheOldest)
{
    settings.envelope.release = 2.0f;
    for (int note = 40; note < 56; ++note)
        Play ({ { On (note), 0 } });

    Play ({ { Off (50), 0 }, { On (70), 10 }, { On (71), 20 } });

    EXPECT_EQ (synth.CountSoundingVoices(), 16);
    EXPECT_FALSE (synth.IsHoldingNote (40));
    EXPECT_TRUE (synth.IsHoldingNote (41));
    EXPECT_TRUE (synth.IsHoldingNote (70));
    EXPECT_TRUE (synth.IsHoldingNote (71));
}

TEST_F (Synth, ReleasesNotesAsTheKeysAndThePedalLetGo)
{
    const auto pedal = [] (int value) { return juce::MidiMessage::controllerEvent (1, 64, value); };

    settings.envelope = { 0.001f, 1.0f, 0.0f, 0.2f };
    Play ({ { On (60), 0 } }, Blocks (0.1));
    EXPECT_GT (PeakOf (Play ({ { Off (60), 0 } })), 0.01f) << "a note let go before its decay ends fades";
    EXPECT_EQ (PeakOf (Play ({}, Blocks (0.25)), (size_t) Blocks (0.22) * blockSize), 0.0f);
    EXPECT_EQ (synth.CountSoundingVoices(), 0);

    Play ({ { pedal (127), 0 }, { On (60), 0 }, { Off (60), 100 } }, Blocks (0.3));
    EXPECT_TRUE (synth.IsHoldingNote (60));
    Play ({ { pedal (0), 0 } }, Blocks (0.25));
    EXPECT_EQ (synth.CountSoundingVoices(), 0);
}

TEST_F (Synth, MovesEveryControlOverAFullRangeJumpInNoLessThanTenMilliseconds)
{
    struct Control { const char* name; std::function<void (VoiceSettings&, bool)> set; };
    const Control controls[] = {
        { "sustain", [] (VoiceSettings& s, bool high) { s.envelope.sustain = high ? 1.0f : 0.0f; } },
        { "cutoff", [] (VoiceSettings& s, bool high) { s.cutoffHertz = high ? 20000.0f : 20.0f; } },
        { "resonance", [] (VoiceSettings& s, bool high) { s.resonance = high ? 1.0f : 0.0f; } },
        { "envelope amount", [] (VoiceSettings& s, bool high) { s.envelopeAmount = high ? 1.0f : 0.0f; } },
        { "wave", [] (VoiceSettings& s, bool high) { s.squareAmount = high ? 1.0f : 0.0f; } },
        { "level", [] (VoiceSettings& s, bool high) { s.level = high ? 2.0f : 0.004f; } },
    };

    // A chord held on the instrument's own defaults, then one control jumped.
    const auto playChord = [this] (const Control& control, bool startHigh, bool jump)
    {
        settings = { 0.0f, 8.0f, 1800.0f, 0.3f, 0.35f, 0.5f, { 0.005f, 0.4f, 0.7f, 0.3f } };
        control.set (settings, startHigh);
        synth.Prepare (sampleRate);
        Play ({ { On (48), 0 }, { On (55), 0 }, { On (60), 0 }, { On (64), 0 } }, Blocks (0.6));
        control.set (settings, startHigh != jump);
        return Play ({}, Blocks (0.15));
    };

    std::printf ("%-16s %8s %8s\n", "control", "up ms", "down ms");
    for (const auto& control : controls)
    {
        double milliseconds[2];
        for (const auto startHigh : { false, true })
            milliseconds[startHigh] = TransitionMilliseconds (playChord (control, startHigh, false),
                                                              playChord (control, startHigh, true),
                                                              playChord (control, ! startHigh, false));
        std::printf ("%-16s %8.1f %8.1f\n", control.name, milliseconds[0], milliseconds[1]);
        EXPECT_GE (std::min (milliseconds[0], milliseconds[1]), 10.0) << control.name;
    }
}

TEST_F (Synth, TakesOverAVoiceWithNoLargerStepThanSteadyPlayingOfTheNotes)
{
    // A low filter, where a click stands out of the smooth sound; the notes that fill
    // the other voices lie far above it and are barely heard.
    settings.cutoffHertz = 400.0f;
    settings.envelope = { 0.005f, 0.1f, 0.7f, 0.3f };
    const auto playSteadily = [this] (int note, bool thenSteal)
    {
        synth.Prepare (sampleRate);
        Play ({ { On (note), 0 } });
        for (int filler = 100; filler < 115; ++filler)
            Play ({ { On (filler), 0 } });
        Play ({}, Blocks (0.5));
        return thenSteal ? Play ({ { On (127), 100 } }, Blocks (0.1)) : Play ({}, Blocks (0.1));
    };

    for (const auto note : { 60, 36 })
    {
        const auto steady = std::max (LargestStepOf (playSteadily (note, false)), LargestStepOf (playSteadily (127, false)));
        const auto stolen = LargestStepOf (playSteadily (note, true));
        std::printf ("note %d: largest step %.5f stolen, %.5f steady\n", note, stolen, steady);
        EXPECT_LE (stolen, steady) << note;
        EXPECT_FALSE (synth.IsHoldingNote (note));
    }
}

//==============================================================================
TEST (Filter, PassesLowFrequenciesCutsHighOnesAndRingsAtItsCutoffWhenResonant)
{
    EXPECT_NEAR (FilterGain (1000.0f, 0.0f, 100.0), 1.0f, 0.02f);
    EXPECT_LT (FilterGain (1000.0f, 0.0f, 4000.0), 0.07f);
    EXPECT_LT (FilterGain (1000.0f, 0.0f, 1000.0), 0.55f);
    EXPECT_GT (FilterGain (1000.0f, 0.95f, 1000.0), 4.0f);

    const auto extreme = FilterGain (30000.0f, 1.0f, 15000.0);
    EXPECT_TRUE (std::isfinite (extreme));
    EXPECT_LT (extreme, 100.0f);
}
