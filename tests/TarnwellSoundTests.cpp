#include <complex>
#include <numeric>

#include <gtest/gtest.h>

#include "TarnwellSynth.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
using Signal = std::vector<float>;

int Blocks (double seconds)
{
    return (int) (seconds * sampleRate / blockSize);
}
juce::MidiMessage On (int note)
{
    return juce::MidiMessage::noteOn (1, note, (juce::uint8) 100);
}
juce::MidiMessage Off (int note)
{
    return juce::MidiMessage::noteOff (1, note);
}

class Synth : public ::testing::Test
{
protected:
    void SetUp() override { synth.Prepare (sampleRate); }

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
    VoiceSettings settings { 0.0f, 0.0f, 20000.0f, 0.0f, 0.0f, 1.0f, { 0.001f, 0.01f, 1.0f, 0.05f } };
};

/** The level in decibels of the signal's component at a frequency (Hann window). */
double LevelAt (const Signal& signal, double hertz)
{
    const auto twoPi = juce::MathConstants<double>::twoPi;
    std::complex<double> sum;
    for (size_t i = 0; i < signal.size(); ++i)
        sum += signal[i] * (0.5 - 0.5 * std::cos (twoPi * (double) i / (double) signal.size()))
               * std::polar (1.0, -twoPi * hertz * (double) i / sampleRate);
    return 20.0 * std::log10 (std::abs (sum) + 1.0e-12);
}

float PeakOf (const Signal& signal, size_t from = 0, size_t to = SIZE_MAX)
{
    return std::accumulate (signal.begin() + (long) std::min (from, signal.size()),
                            signal.begin() + (long) std::min (to, signal.size()), 0.0f,
                            [] (float peak, float x) { return std::max (peak, std::abs (x)); });
}

/** The time a sound takes from a tenth to nine tenths of its way from one steady sound
    to another, read over five milliseconds at a time as how much nearer it is to the second. */
double TransitionMilliseconds (const Signal& from, const Signal& moving, const Signal& to)
{
    constexpr size_t window = 240;
    const auto distanceToEnd = [&] (const Signal& sound, size_t i)
    {
        return std::inner_product (sound.begin() + (long) i, sound.begin() + (long) (i + window), to.begin() + (long) i,
                                   0.0, std::plus<>(), [] (float a, float b) { return (double) (a - b) * (a - b); });
    };
    long tenth = -1;
    for (size_t i = 0; i + window <= moving.size(); ++i)
    {
        const auto left = distanceToEnd (moving, i), whole = distanceToEnd (from, i);
        if (tenth < 0 && left <= 0.81 * whole)
            tenth = (long) i;
        if (tenth >= 0 && left <= 0.01 * whole)
            return (double) ((long) i - tenth) * 1000.0 / sampleRate;
    }
    return 0.0;
}
}

//==============================================================================
TEST_F (Synth, PlaysNotesFromTheirSamplePositionsUntilTheKeysAndThePedalLetGo)
{
    const auto pedal = [] (int value)
    {
        return juce::MidiMessage::controllerEvent (1, 64, value);
    };
    settings.envelope = { 0.001f, 1.0f, 0.0f, 0.2f };
    const auto start = Play ({ { On (60), 128 }, { On (60), 200 } }, Blocks (0.1));
    EXPECT_EQ (PeakOf (start, 0, 128), 0.0f);
    EXPECT_GT (PeakOf (start, 128, 200), 0.0f);
    EXPECT_EQ (synth.CountSoundingVoices(), 1) << "a note played again keeps its voice";
    EXPECT_GT (PeakOf (Play ({ { Off (60), 0 } })), 0.01f) << "a note let go before its decay ends fades";
    EXPECT_EQ (PeakOf (Play ({}, Blocks (0.25)), (size_t) Blocks (0.22) * blockSize), 0.0f);

    Play ({ { pedal (127), 0 }, { On (60), 0 }, { Off (60), 100 } }, Blocks (0.3));
    EXPECT_TRUE (synth.IsHoldingNote (60)) << "the pedal holds a note let go";
    Play ({ { pedal (0), 0 } }, Blocks (0.25));
    EXPECT_EQ (synth.CountSoundingVoices(), 0);
}

TEST_F (Synth, KeepsAliasingOfTheTopNoteFarBelowItsFundamental)
{
    for (const auto squareAmount : { 0.0f, 1.0f })
    {
        settings.squareAmount = squareAmount;
        synth.Prepare (sampleRate);
        const auto fundamental = 440.0 * std::pow (2.0, (108 - 69) / 12.0);
        auto sound = Play ({ { On (108), 0 } }, 41);
        sound.erase (sound.begin(), sound.begin() + blockSize);

        auto worstAlias = -300.0;
        for (double hertz = 20.0; hertz <= 20000.0; hertz += 5.0)
            if (std::abs (hertz / fundamental - std::round (hertz / fundamental)) * fundamental > 30.0)
                worstAlias = std::max (worstAlias, LevelAt (sound, hertz));
        EXPECT_LT (worstAlias - LevelAt (sound, fundamental), -45.0) << squareAmount;
    }
}

TEST_F (Synth, MovesEveryControlOverAFullRangeJumpInNoLessThanTenMilliseconds)
{
    using Set = void (*) (VoiceSettings&, bool);
    // One control to a row: the formatter would set each of these lambdas out over four lines.
    // clang-format off
    const std::pair<const char*, Set> controls[] = {
        { "sustain", [] (VoiceSettings& s, bool top) { s.envelope.sustain = top ? 1.0f : 0.0f; } },
        { "cutoff", [] (VoiceSettings& s, bool top) { s.cutoffHertz = top ? 20000.0f : 20.0f; } },
        { "resonance", [] (VoiceSettings& s, bool top) { s.resonance = top ? 1.0f : 0.0f; } },
        { "envelope amount", [] (VoiceSettings& s, bool top) { s.envelopeAmount = top ? 1.0f : 0.0f; } },
        { "wave", [] (VoiceSettings& s, bool top) { s.squareAmount = top ? 1.0f : 0.0f; } },
        { "level", [] (VoiceSettings& s, bool top) { s.level = top ? 2.0f : 0.004f; } },
    };
    // clang-format on

    // A chord held on the instrument's own defaults, then one control jumped, or not.
    const auto playChord = [this] (Set set, bool fromTop, bool jump)
    {
        settings = { 0.0f, 8.0f, 1800.0f, 0.3f, 0.35f, 0.5f, { 0.005f, 0.4f, 0.7f, 0.3f } };
        set (settings, fromTop);
        synth.Prepare (sampleRate);
        Play ({ { On (48), 0 }, { On (55), 0 }, { On (60), 0 }, { On (64), 0 } }, Blocks (0.6));
        set (settings, fromTop != jump);
        return Play ({}, Blocks (0.15));
    };

    for (const auto& [name, set] : controls)
        for (const auto fromTop : { false, true })
            EXPECT_GE (TransitionMilliseconds (playChord (set, fromTop, false), playChord (set, fromTop, true),
                                               playChord (set, ! fromTop, false)),
                       10.0)
                << name << fromTop;
}

TEST_F (Synth, TakesOverAReleasedVoiceOrElseTheOldestWithNoLargerStepThanSteadyPlaying)
{
    // A low filter, where a click stands out; the notes filling the other voices lie far above it.
    settings = { 0.0f, 0.0f, 400.0f, 0.0f, 0.0f, 1.0f, { 0.005f, 0.1f, 0.7f, 0.3f } };
    const auto largestStep = [this] (int note, bool thenTakeOver)
    {
        synth.Prepare (sampleRate);
        for (const auto next : { note, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114 })
            Play ({ { On (next), 0 } });
        Play ({}, Blocks (0.5));
        auto sound = thenTakeOver ? Play ({ { On (127), 100 } }, Blocks (0.1)) : Play ({}, Blocks (0.1));
        std::adjacent_difference (sound.begin(), sound.end(), sound.begin());
        return PeakOf (sound, 1);
    };

    for (const auto note : { 60, 36 })
    {
        const auto steady = std::max (largestStep (note, false), largestStep (127, false));
        EXPECT_LE (largestStep (note, true), steady) << note;
        EXPECT_FALSE (synth.IsHoldingNote (note));
    }

    Play ({ { Off (114), 0 }, { On (126), 10 } });
    EXPECT_TRUE (synth.IsHoldingNote (100) && synth.IsHoldingNote (126));
    EXPECT_EQ (synth.CountSoundingVoices(), 16);
}

// With every voice busy and two notes fading out, a new note takes over the voice of the one let go (and played)
// first; the one let go later fades on, and is heard at its own pitch.
TEST_F (Synth, TakesOverTheVoiceOfTheNoteLetGoFirst)
{
    settings.envelope.release = 2.0f;
    for (const auto note : { 40, 47, 100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113 })
        Play ({ { On (note), 0 } });
    Play ({ { Off (40), 0 } });
    Play ({ { Off (47), 0 } });
    Play ({ { On (120), 0 } }, Blocks (0.05));

    const auto sound = Play ({}, Blocks (0.3));
    const auto hertz = [] (int note)
    {
        return 440.0 * std::pow (2.0, (note - 69) / 12.0);
    };
    EXPECT_GT (LevelAt (sound, hertz (47)) - LevelAt (sound, hertz (40)), 40.0);
}

// A jump of the detune over its whole range glides as the other controls do. TransitionMilliseconds cannot show it:
// a voice's two oscillators drift apart at the pace of the detune and never meet a note held at the new one again.
// How far apart their phases lie shows in their fundamental, cos (apart / 2) as strong as that of a note held
// without detune; once they part steadily, the line of that distance back to zero gives the moment the new detune
// arrived on average: at once for a jump, half way through for a glide.
TEST_F (Synth, GlidesTheDetuneOverAFullRangeJump)
{
    constexpr int note = 48;
    const auto hertz = 440.0 * std::pow (2.0, (note - 69) / 12.0);
    const auto afterJumpTo = [this] (float cents)
    {
        synth.Prepare (sampleRate);
        Play ({ { On (note), 0 } }, Blocks (0.2));
        settings.detuneCents = cents;
        const auto sound = Play ({}, Blocks (0.12));
        settings.detuneCents = 0.0f;
        return sound;
    };
    const auto held = afterJumpTo (0.0f), detuned = afterJumpTo (50.0f);

    // Over four periods of the note around the moment.
    const auto phaseAt = [&] (double milliseconds)
    {
        const auto window = (long) (4.0 * sampleRate / hertz);
        const auto from = (long) (milliseconds * sampleRate / 1000.0) - window / 2;
        const auto level = [&] (const Signal& s)
        {
            return LevelAt ({ s.begin() + from, s.begin() + from + window }, hertz);
        };
        return 2.0 * std::acos (std::min (1.0, std::pow (10.0, (level (detuned) - level (held)) / 20.0)));
    };
    const auto early = phaseAt (50.0), late = phaseAt (90.0);
    const auto arrivedMilliseconds = 50.0 - early * (90.0 - 50.0) / (late - early);
    EXPECT_GE (arrivedMilliseconds, 5.0) << "a glide of no less than ten milliseconds arrives half way through";
}
