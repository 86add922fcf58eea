#pragma once

#include "MainComponent.h"

/** The tests' view inside MainComponent. */
struct MainComponentProbe
{
    MainComponent& host;

    juce::AudioPluginInstance* plugin() const { return host.plugin.get(); }

    /** What the audio thread plays: the benchmarks put a timing stand-in in front of the
        instance here, which `plugin()` cannot do. */
    std::atomic<juce::AudioPluginInstance*>& audioThreadPlugin() const { return host.audioThreadPlugin; }

    juce::AudioProcessorEditor* editor() const { return host.pluginEditor.get(); }
    const juce::OwnedArray<juce::PluginDescription>& descriptions() const { return host.pluginDescriptions; }
    juce::Label& errorLabel() const { return host.errorLabel; }
    juce::MidiKeyboardComponent& keyboard() const { return host.keyboardComponent; }
    juce::MidiKeyboardState& keyboardState() const { return host.keyboardState; }
    juce::MidiMessageCollector& collector() const { return host.midiCollector; }
    juce::AudioDeviceSelectorComponent& settingsPanel() const { return host.audioSettingsComponent; }
    juce::AudioPluginFormatManager& formats() const { return host.formatManager; }
    ApplicationToolbarItemFactory& toolbarFactory() const { return host.toolbarFactory; }
    juce::DialogWindow* settingsWindow() const { return host.settingsWindow.getComponent(); }
    int lastMidiInputIndex() const { return host.lastMidiInputIndex; }
    juce::Image errorImage() const { return host.errorImage; }

    void setToolbar (std::unique_ptr<juce::Toolbar> toolbar) const
    {
        host.toolbar = std::move (toolbar);
        if (host.toolbar != nullptr)
            host.addAndMakeVisible (*host.toolbar);
    }

    void runTimerCallback() const { host.timerCallback(); }
    void startOwnTimer (int milliseconds) const { host.startTimer (milliseconds); }
    bool ownTimerRunning() const { return host.isTimerRunning(); }
};
