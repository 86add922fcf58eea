#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include "ApplicationToolbarItemFactory.h"
#include "MidiDevicePoller.h"
#include "MissingMidiDeviceAlerter.h"
#include "SynthConfig.h"

/** The main window's content: opens the audio device, hosts the instrument and shows
    its editor, routes the enabled MIDI inputs to it, and keeps the device state
    between runs.
*/
class MainComponent : public juce::AudioAppComponent,
                      public juce::ChangeListener,
                      public juce::Button::Listener,
                      private juce::Timer,
                      private MidiDevicePoller::Listener
{
public:
    MainComponent (const SynthConfig& config, const std::string& applicationName);
    ~MainComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void childBoundsChanged (juce::Component*) override;

    void prepareToPlay (int samplesPerBlockExpected, double sampleRate) override;
    void releaseResources() override;
    void getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill) override;

    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void buttonClicked (juce::Button*) override;

    void EnableSpecificMidiInput (int index);
    void ShowSettingsWindow();

private:
    friend struct MainComponentProbe;  // lets the tests look inside

    // The on-screen keyboard's strip under the editor, placed by the layout and added or
    // taken away by the keyboard command.
    static constexpr int keyboardHeight = 60;

    // Thick enough for the toolbar's images to show whole.
    static constexpr int toolbarThickness = 32;

    // The start-up MIDI check comes after the poller's first tick, so that a keyboard
    // found then has already spoken for itself.
    static constexpr int midiCheckDelayMilliseconds = 2000;

    void timerCallback() override;

    void OnMidiDeviceAdded (const juce::MidiDeviceInfo&) override;
    void OnMidiDeviceRemoved (const juce::MidiDeviceInfo&) override;
    void EnableMidiInputsWhenNoneEnabledIsConnected();

    // The start-up road, in its order.
    void OpenDefaultAudioDevice();
    void AddOnScreenKeyboard();
    void ReadSavedDeviceState();
    bool RestoreDeviceState();
    void ReportMissingAudioDevice();
    void ListenToDeviceChanges();
    void RegisterPluginFormats();
    void LoadInstrument();
    void PlayConnectedKeyboards();
    void ScheduleMidiCheck();

    static void GiveReservedMidiStorageTo (juce::AudioPluginInstance&, int blockSize);
    void ShowErrorText (const juce::String& text);
    void ShowToolbar();
    int GetContentWidth() const;
    int GetEditorHeight() const;
    void SetContentSize (bool withKeyboard);
    void ToggleKeyboard();
    void SetKeyboardVisible (bool visible);
    void ShowProductInformation();
    void SaveDeviceState();

    const std::string& applicationName;
    juce::KnownPluginList knownPluginList;
    juce::OwnedArray<juce::PluginDescription> pluginDescriptions;
    juce::AudioPluginFormatManager formatManager;
    std::unique_ptr<juce::AudioPluginInstance> plugin;

    // What the audio thread sees of `plugin`: null, or the instance once it is prepared.
    std::atomic<juce::AudioPluginInstance*> audioThreadPlugin { nullptr };

    std::unique_ptr<juce::AudioProcessorEditor> pluginEditor;

    // Made when the settings are first shown: building it measures its labels' text, for
    // which the framework first reads every installed font, and a start needs no text.
    std::unique_ptr<juce::AudioDeviceSelectorComponent> audioSettingsComponent;
    int lastMidiInputIndex = 0;
    juce::Label errorLabel;
    juce::Image errorImage;
    juce::MidiMessageCollector midiCollector;

    // The block's MIDI, reused so that the audio thread does not allocate: cleared at
    // the start of every block, its capacity reserved once.
    juce::MidiBuffer blockMidi;

    juce::MidiKeyboardState keyboardState;
    juce::MidiKeyboardComponent keyboardComponent;
    juce::Component::SafePointer<juce::DialogWindow> settingsWindow;
    ApplicationToolbarItemFactory toolbarFactory;
    std::unique_ptr<juce::Toolbar> toolbar;
    std::unique_ptr<juce::XmlElement> savedDeviceState;
    MidiDevicePoller midiDevicePoller;
    MissingMidiDeviceAlerter missingMidiDeviceAlerter;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainComponent)
};
