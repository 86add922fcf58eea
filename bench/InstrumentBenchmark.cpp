// The instrument's cost per block, hosted as the application hosts it: 256 samples at
// 48 kHz with one voice and with sixteen voices sounding. "budget_percent" is the share
// of the block's real-time length (5.33 ms) spent computing it.

#include <chrono>

#include <benchmark/benchmark.h>

#include "FormatHost.h"
#include "ScopedGuiFramework.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
constexpr double blockSeconds = blockSize / sampleRate;

void InstrumentBlock (benchmark::State& state)
{
    const auto voices = (int) state.range (0);

    FormatHost host;
    juce::String error;
    host.Scan (GetInstrumentBundle().getFullPathName());
    auto instance = host.InstantiateFirst (sampleRate, blockSize, error);

    if (instance == nullptr)
    {
        state.SkipWithError (("no instrument: " + error).toRawUTF8());
        return;
    }

    instance->prepareToPlay (sampleRate, blockSize);
    juce::AudioBuffer<float> buffer (2, blockSize);
    juce::MidiBuffer midi;

    // Held notes spread over four octaves, past their attack and decay before timing.
    for (int voice = 0; voice < voices; ++voice)
        midi.addEvent (juce::MidiMessage::noteOn (1, 40 + 3 * voice, (juce::uint8) 100), 0);

    for (int block = 0; block < (int) (1.0 / blockSeconds); ++block)
    {
        buffer.clear();
        instance->processBlock (buffer, midi);
        midi.clear();
    }

    const auto start = std::chrono::steady_clock::now();

    for (auto _ : state)
    {
        buffer.clear();
        instance->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0)[blockSize - 1]);
    }

    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.counters["budget_percent"] = 100.0 * elapsed.count() / ((double) state.iterations() * blockSeconds);
    instance->releaseResources();
}
}

BENCHMARK (InstrumentBlock)->ArgName ("voices")->Arg (1)->Arg (16)->UseRealTime()->Unit (benchmark::kMicrosecond);

int main (int argc, char** argv)
{
    ScopedGuiFramework framework;

    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
