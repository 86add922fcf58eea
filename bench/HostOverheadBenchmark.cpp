// The host's own cost per block: what MainComponent::getNextAudioBlock spends besides the
// instrument's processBlock, beside the same share of juce::AudioProcessorPlayer's audio
// callback driving its own instance of the same instrument. Both are called by hand on
// this thread, block after block in turn, with the same MIDI arriving in their collectors.

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "HostAndPlayer.h"
#include "NotePattern.h"
#include "ScopedGuiFramework.h"
#include "Summary.h"
#include "TimedInstrument.h"

namespace
{
constexpr int blockSize = 256;
constexpr double sampleRate = 48000.0;
constexpr double budgetNanoseconds = 1.0e9 * blockSize / sampleRate;
constexpr int warmUpBlocks = 2000;
constexpr int measuredBlocks = 20000;

using Clock = std::chrono::steady_clock;

double nanosecondsBetween (Clock::time_point start, Clock::time_point end)
{
    return (double) std::chrono::duration_cast<std::chrono::nanoseconds> (end - start).count();
}

// The span between the outer pair of clock readings holds the inner pair's two readings,
// which are no part of the host: their cost is measured here and taken off.
double clockReadingNanoseconds()
{
    std::vector<double> readings;
    for (int i = 0; i < 10000; ++i)
    {
        const auto first = Clock::now();
        readings.push_back (nanosecondsBetween (first, Clock::now()));
    }
    return Summary::Of (readings).median;
}

/** Calls one block and gives the time spent outside the instrument. */
template <typename Render>
double ownNanoseconds (Render&& render, const TimedInstrument& timing, double clockReading)
{
    const auto start = Clock::now();
    render();
    const auto whole = nanosecondsBetween (start, Clock::now());
    return whole - (double) timing.GetLastBlockNanoseconds() - 2.0 * clockReading;
}

void printOwnCost (const char* name, const std::vector<double>& own)
{
    const auto summary = Summary::Of (own);
    std::printf ("%s, own cost per block: median %.0f ns = %.4f %% of the block's %.0f us;"
                 " mean %.0f ns, 99th percentile %.0f ns\n",
                 name, summary.median, 100.0 * summary.median / budgetNanoseconds, budgetNanoseconds / 1000.0,
                 summary.mean, summary.percentile99);
}
}

int main()
{
    ScopedGuiFramework framework;
    HostAndPlayer hosts (blockSize, sampleRate);
    if (! hosts.CheckReady ("HostOverheadBenchmark"))
        return 1;

    const auto host = hosts.Host();
    auto* hostInstrument = host.plugin();
    TimedInstrument hostTiming (*hostInstrument);
    host.audioThreadPlugin().store (&hostTiming);

    TimedInstrument playerTiming (hosts.PlayerInstrument());
    hosts.Play (&playerTiming);

    juce::AudioBuffer<float> hostBuffer (2, blockSize), playerBuffer (2, blockSize);
    const auto clockReading = clockReadingNanoseconds();
    std::vector<double> hostOwn, playerOwn, hostInstrumentTimes, playerInstrumentTimes;

    for (int block = 0; block < warmUpBlocks + measuredBlocks; ++block)
    {
        NotePattern::Feed (block, { &host.collector(), &hosts.Player().getMidiMessageCollector() });

        const auto hostBlock = ownNanoseconds ([&] { hosts.RenderHost (hostBuffer); }, hostTiming, clockReading);
        const auto playerBlock = ownNanoseconds ([&] { hosts.RenderPlayer (playerBuffer); }, playerTiming, clockReading);

        if (block < warmUpBlocks)
            continue;

        hostOwn.push_back (hostBlock);
        playerOwn.push_back (playerBlock);
        hostInstrumentTimes.push_back ((double) hostTiming.GetLastBlockNanoseconds());
        playerInstrumentTimes.push_back ((double) playerTiming.GetLastBlockNanoseconds());
    }

    host.audioThreadPlugin().store (hostInstrument);
    hosts.Play (nullptr);

    std::printf ("%d blocks of %d samples at %.0f Hz after %d unmeasured ones; a note starts (and, once %d sound,"
                 " one ends) before every other block, the same notes for both\n",
                 measuredBlocks, blockSize, sampleRate, warmUpBlocks, NotePattern::heldNotes);
    printOwnCost ("MainComponent::getNextAudioBlock", hostOwn);
    printOwnCost ("juce::AudioProcessorPlayer::audioDeviceIOCallbackWithContext", playerOwn);
    std::printf ("the instrument's processBlock, for comparison: median %.1f us under MainComponent,"
                 " %.1f us under the player\n",
                 Summary::Of (hostInstrumentTimes).median / 1000.0, Summary::Of (playerInstrumentTimes).median / 1000.0);
    std::printf ("(two clock readings, %.0f ns each, are taken off each own cost)\n", clockReading);
    return 0;
}
