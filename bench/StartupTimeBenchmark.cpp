// Start-up time: from starting the process to its window mapped on the display at its
// final size, for the real app (build/OrvoHost/OrvoHost with its Resources/; its window
// takes the instrument editor's size) beside a bare JUCE window app, launched in turn on
// the same display and JACK server in the same run. Needs a display and an audio device:
// scripts/bench provides both.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "BareWindowSize.h"
#include "FormatHost.h"
#include "LaunchTimer.h"
#include "ScopedGuiFramework.h"
#include "Summary.h"
#include "TemporaryFolder.h"

namespace
{
int launchesFromEnvironment()
{
    const auto* text = std::getenv ("ORVO_BENCH_LAUNCHES");
    return text != nullptr && std::atoi (text) > 0 ? std::atoi (text) : 10;
}

/** The app's window is its content, which takes the size of the instrument's editor. */
juce::Rectangle<int> instrumentEditorSize (juce::String& problem)
{
    FormatHost formats;
    formats.Scan (GetInstrumentBundle().getFullPathName());
    auto instance = formats.InstantiateFirst (48000.0, 256, problem);
    if (instance == nullptr)
        return {};

    std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditorIfNeeded());
    return editor == nullptr ? juce::Rectangle<int>() : editor->getLocalBounds();
}

struct Candidate
{
    const char* name;
    juce::File executable;
    juce::Rectangle<int> size;
    std::vector<double> milliseconds;
};
}

int main()
{
    ScopedGuiFramework framework;

    X11Display display;
    if (! display.IsOpen())
    {
        std::fprintf (stderr, "StartupTimeBenchmark: no display (run through scripts/bench)\n");
        return 1;
    }

    juce::String problem;
    const auto editorSize = instrumentEditorSize (problem);
    if (editorSize.isEmpty())
    {
        std::fprintf (stderr, "StartupTimeBenchmark: no instrument editor to take the size of: %s\n", problem.toRawUTF8());
        return 1;
    }

    // The app keeps its device state under HOME: a HOME of its own leaves the user's alone
    // and makes every launch a first one.
    TemporaryFolder home;
    const LaunchTimer::Environment environment { { "HOME", home.getFolder().getFullPathName().toStdString() } };

    std::vector<Candidate> candidates {
        { "OrvoHost, window at the editor's size", juce::File (ORVO_APP_EXECUTABLE), editorSize, {} },
        { "bare JUCE window app", juce::File (ORVO_BARE_WINDOW_APP), { bareWindowWidth, bareWindowHeight }, {} }
    };

    LaunchTimer timer (display);
    const auto launches = launchesFromEnvironment();

    // The first launch of each reads its files from disk; it is not counted.
    for (int launch = -1; launch < launches; ++launch)
    {
        for (auto& candidate : candidates)
        {
            std::string why;
            const auto elapsed = timer.Measure (candidate.executable, environment,
                                                candidate.size.getWidth(), candidate.size.getHeight(), why);
            if (! elapsed.has_value())
            {
                // The app runs once per product name: a copy already running makes it end at once.
                std::fprintf (stderr, "StartupTimeBenchmark: %s: %s (is a copy of it running already?)\n",
                              candidate.name, why.c_str());
                return 1;
            }

            if (launch >= 0)
                candidate.milliseconds.push_back (*elapsed);
        }
    }

    std::printf ("start-up, from starting the process to its window mapped at its final size;"
                 " %d launches each, in turn, after one unmeasured launch each:\n", launches);
    for (const auto& candidate : candidates)
    {
        const auto summary = Summary::Of (candidate.milliseconds);
        std::printf ("  %s (%dx%d): median %.0f ms, spread %.0f to %.0f ms\n", candidate.name,
                     candidate.size.getWidth(), candidate.size.getHeight(),
                     summary.median, summary.minimum, summary.maximum);
    }
    return 0;
}
