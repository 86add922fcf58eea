#pragma once

#include "MainComponent.h"

/** The tests' and benchmarks' view inside MainComponent. */
struct MainComponentProbe
{
    MainComponent& host;

    juce::AudioPluginInstance* plugin() const { return host.plugin.get(); }

    /** What the audio thread plays: the benchmarks put a timing stand-in in front of the
        instance here, which `plugin()` cannot do. */
    std::atomic<juce::AudioPluginInstance*>& audioThreadPlugin() const { return host.audioThreadPlugin; }

    juce::Label& errorLabel() const { return host.errorLabel; }
    juce::Button* productInfoButton() const { return host.toolbarFactory.GetProductInfoButton(); }
    juce::MidiKeyboardState& keyboardState() const { return host.keyboardState; }
    juce::MidiMessageCollector& collector() const { return host.midiCollector; }
};
