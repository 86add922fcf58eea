#include "MainComponent.h"

#include "AudioUnitStandInFormat.h"
#include "BundleResources.h"
#include "VSTBundlePluginFormat.h"
#include "VSTPluginEditor.h"

namespace
{
constexpr const char* pluginFileName = "Tarnwell App.vst";
constexpr const char* errorImageFileName = "error.png";

constexpr int errorWidth = 800;
constexpr int errorHeight = 500;

// Room for the MIDI of one block; the instrument's own event list holds 256 events.
constexpr int reservedMidiBytes = 256 * 16;

juce::String fromUtf8 (const std::string& text)
{
    return juce::String::fromUTF8 (text.data(), (int) text.size());
}

/** Gives the device manager its device types, each scanned once.

    The framework, left to create its device types on the first request, scans every type
    twice, and each JACK scan opens and closes a client of the server, which takes tens of
    milliseconds.
*/
void scanDeviceTypesOnce (juce::AudioDeviceManager& deviceManager)
{
    juce::OwnedArray<juce::AudioIODeviceType> types;
    deviceManager.createAudioDeviceTypes (types);

    for (auto* type : types)
        deviceManager.addAudioDeviceType (std::unique_ptr<juce::AudioIODeviceType> (type));

    types.clear (false);
    deviceManager.getAvailableDeviceTypes();
}

/** The first present MIDI input with this name; none for the empty name. */
std::optional<juce::MidiDeviceInfo> findMidiInputNamed (const juce::String& name)
{
    if (name.isEmpty())
        return std::nullopt;

    for (const auto& device : juce::MidiInput::getAvailableDevices())
        if (device.name == name)
            return device;

    return std::nullopt;
}
}

//==============================================================================
MainComponent::MainComponent (const SynthConfig&, const std::string& name)
    : applicationName (name),
      keyboardComponent (keyboardState, juce::MidiKeyboardComponent::horizontalKeyboard),
      missingMidiDeviceAlerter (name, midiDevicePoller)
{
    blockMidi.ensureSize (reservedMidiBytes);

    OpenDefaultAudioDevice();
    AddOnScreenKeyboard();
    ReadSavedDeviceState();

    if (! RestoreDeviceState())
    {
        ReportMissingAudioDevice();
        return;
    }

    ListenToDeviceChanges();
    RegisterPluginFormats();
    LoadInstrument();
    PlayConnectedKeyboards();
    ScheduleMidiCheck();
}

void MainComponent::OpenDefaultAudioDevice()
{
    scanDeviceTypesOnce (deviceManager);

    // From here on the audio callback runs, silent until an instrument is handed to it.
    setAudioChannels (0, 2);
}

void MainComponent::AddOnScreenKeyboard()
{
    addChildComponent (keyboardComponent);
    keyboardComponent.setColour (juce::MidiKeyboardComponent::mouseOverKeyOverlayColourId, juce::Colour (0x99ff0000));
    keyboardComponent.setColour (juce::MidiKeyboardComponent::keyDownOverlayColourId, juce::Colours::darkred);
    keyboardComponent.setBlackNoteLengthProportion (0.56f);
    keyboardComponent.setColour (juce::MidiKeyboardComponent::textLabelColourId, juce::Colours::lightgrey);
    keyboardComponent.setMouseClickGrabsKeyboardFocus (false);
    SetKeyboardVisible (false);
}

void MainComponent::SetKeyboardVisible (bool visible)
{
    keyboardComponent.setVisible (visible);

    // The strip redraws the keys that MIDI turned on or off from a check twenty times a
    // second. Hidden, it has no keys to draw, and the check would only wake the message
    // thread. The framework keeps that timer behind a private base, which an explicit
    // conversion still reaches; shown again, the strip is painted whole anyway. Were the
    // timer no longer a base, the conversion would silently become a reinterpretation.
    static_assert (std::is_base_of_v<juce::Timer, juce::MidiKeyboardComponent>);
    auto& keyChecks = (juce::Timer&) keyboardComponent;
    if (visible)
        keyChecks.startTimerHz (20);
    else
        keyChecks.stopTimer();
}

void MainComponent::ReportMissingAudioDevice()
{
    const auto message = "No viable audio device could be opened.\n\nPlease connect an audio device or close "
                         "any other applications that may be using it \n\nthen reopen "
                         + applicationName + ".";
    juce::AlertWindow::showMessageBox (juce::AlertWindow::WarningIcon, "Missing Audio Device", fromUtf8 (message));
    juce::JUCEApplicationBase::quit();

    // No device, no rate to prepare the instrument at: the app is on its way out.
    setSize (errorWidth, errorHeight);
}

void MainComponent::ListenToDeviceChanges()
{
    deviceManager.addChangeListener (this);

    // The listener learns the device state once now, as after any change: that is what
    // lets the enabled MIDI inputs reach the instrument before the settings are shown.
    deviceManager.sendChangeMessage();
}

void MainComponent::RegisterPluginFormats()
{
    formatManager.addFormat (new AudioUnitStandInFormat());
    formatManager.addFormat (new VSTBundlePluginFormat());
}

void MainComponent::PlayConnectedKeyboards()
{
    // The keyboard that the user has is played without a trip to the settings: now, and
    // when the poller reports one plugged in later.
    EnableMidiInputsWhenNoneEnabledIsConnected();
    midiDevicePoller.AddListener (this);
}

void MainComponent::ScheduleMidiCheck()
{
    // With no MIDI input the instrument can be played only from the screen: say so once
    // the window is up. An input present now spares the user the alert.
    if (plugin != nullptr && juce::MidiInput::getAvailableDevices().isEmpty())
        startTimer (midiCheckDelayMilliseconds);
}

void MainComponent::LoadInstrument()
{
    const auto path = fromUtf8 (GetFilenameForResourceInMacBundle (pluginFileName));

    juce::String errorText;
    if (! juce::File::createFileWithoutCheckingPath (path).exists())
    {
        const auto folder = GetApplicationResourcesFolder().getFullPathName().toStdString();
        errorText = fromUtf8 ("The plugin file for " + applicationName
                              + " is missing from its directory. \n\nPlease add the plugin back to your VST folder ("
                              + folder + ")\n\nor run your " + applicationName + " installer again to reinstall.");
    }

    const auto setup = deviceManager.getAudioDeviceSetup();
    const auto sampleRate = setup.sampleRate;
    const auto blockSize = setup.bufferSize;

    for (auto* format : formatManager.getFormats())
        knownPluginList.scanAndAddFile (path, true, pluginDescriptions, *format);

    if (pluginDescriptions.isEmpty())
    {
        ShowErrorText (errorText);
        return;
    }

    auto instance = formatManager.createPluginInstance (*pluginDescriptions[0], sampleRate, blockSize, errorText);

    if (instance == nullptr)
    {
        // Say why the window is empty rather than show nothing at all.
        ShowErrorText (fromUtf8 ("The plugin for " + applicationName + " could not be loaded: ")
                       + errorText
                       + fromUtf8 ("\n\nPlease run your " + applicationName + " installer again to reinstall."));
        return;
    }

    instance->prepareToPlay (sampleRate, blockSize);
    GiveReservedMidiStorageTo (*instance, blockSize);
    plugin = std::move (instance);
    audioThreadPlugin.store (plugin.get(), std::memory_order_release);

    pluginEditor = VSTPluginEditor::CreateFor (*plugin);

    ShowToolbar();

    if (pluginEditor != nullptr)
    {
        pluginEditor->setTopLeftPosition (0, toolbarThickness);
        addAndMakeVisible (*pluginEditor);
    }

    SetContentSize (false);
}

void MainComponent::childBoundsChanged (juce::Component* child)
{
    // The editor takes the size of the plug-in's window, which the plug-in may change at
    // any time (a new display scale, a larger view): the window follows it.
    if (child != nullptr && child == pluginEditor.get())
        SetContentSize (keyboardComponent.isVisible());
}

void MainComponent::ShowToolbar()
{
    toolbar = std::make_unique<juce::Toolbar>();
    toolbar->setStyle (juce::Toolbar::iconsOnly);
    toolbar->addDefaultItems (toolbarFactory);

    // The buttons report their clicks here, where they are told apart by the addresses
    // that the factory remembers.
    for (auto* button : { toolbarFactory.GetSettingsButton(),
                          toolbarFactory.GetKeyboardButton(),
                          toolbarFactory.GetProductInfoButton() })
        if (button != nullptr)
            button->addListener (this);

    addAndMakeVisible (*toolbar);
}

int MainComponent::GetContentWidth() const
{
    const auto editorWidth = pluginEditor != nullptr ? pluginEditor->getWidth() : 0;

    // However narrow the editor, or without one, the toolbar keeps room for every item
    // whole; only a flexible spacer gives up what it can.
    int itemsLength = 0;
    if (toolbar != nullptr)
    {
        for (int i = 0; i < toolbar->getNumItems(); ++i)
        {
            int preferred = 0, minimum = 0, maximum = 0;
            if (toolbar->getItemComponent (i)->getToolbarItemSizes (toolbarThickness, false, preferred, minimum, maximum))
                itemsLength += preferred == maximum ? preferred : minimum;
        }
    }

    return juce::jmax (editorWidth, itemsLength);
}

int MainComponent::GetEditorHeight() const
{
    return pluginEditor != nullptr ? pluginEditor->getHeight() : 0;
}

void MainComponent::SetContentSize (bool withKeyboard)
{
    setBounds (getX(), getY(), GetContentWidth(),
               toolbarThickness + GetEditorHeight() + (withKeyboard ? keyboardHeight : 0));
}

void MainComponent::GiveReservedMidiStorageTo (juce::AudioPluginInstance& instance, int blockSize)
{
    // The framework's VST host swaps the MIDI buffer it is given with one of its own,
    // which starts without storage. One silent block here, before the audio thread sees
    // the instance, leaves reserved storage on both sides of that swap, so that no block
    // ever has to grow a MIDI buffer on the audio thread.
    juce::AudioBuffer<float> silence (juce::jmax (2, instance.getTotalNumOutputChannels()), juce::jmax (1, blockSize));
    silence.clear();
    juce::MidiBuffer reserved;
    reserved.ensureSize (reservedMidiBytes);
    instance.processBlock (silence, reserved);
}

void MainComponent::ShowErrorText (const juce::String& text)
{
    addAndMakeVisible (errorLabel);
    errorLabel.setText (text, juce::dontSendNotification);
    errorLabel.setJustificationType (juce::Justification::horizontallyCentred);
    setSize (errorWidth, errorHeight);
}

//==============================================================================
MainComponent::~MainComponent()
{
    midiDevicePoller.RemoveListener (this);

    if (auto* dialog = settingsWindow.getComponent())
    {
        dialog->exitModalState (0);
        if (auto* stillOpen = settingsWindow.getComponent())
            delete stillOpen;
    }

    SaveDeviceState();
    shutdownAudio();

    // The collector goes before the device manager does: no MIDI may reach it after.
    deviceManager.removeMidiInputDeviceCallback ({}, &midiCollector);
    for (const auto& device : juce::MidiInput::getAvailableDevices())
        deviceManager.removeMidiInputDeviceCallback (device.identifier, &midiCollector);

    audioThreadPlugin.store (nullptr, std::memory_order_release);
}

//==============================================================================
void MainComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);

    if (plugin != nullptr)
        return;

    g.fillAll (juce::Colour (0xff1c1e20));

    // Read afresh on every paint, so a replaced picture shows at once.
    const auto path = fromUtf8 (GetFilenameForResourceInMacBundle (errorImageFileName));
    errorImage = juce::ImageFileFormat::loadFrom (juce::File::createFileWithoutCheckingPath (path));

    if (errorImage.isValid())
        g.drawImageWithin (errorImage, 320, 100, 150, 150,
                           juce::RectanglePlacement::xLeft | juce::RectanglePlacement::yMid, false);
}

void MainComponent::resized()
{
    if (plugin != nullptr)
    {
        const auto width = GetContentWidth();
        keyboardComponent.setBounds (0, toolbarThickness + GetEditorHeight(), width, keyboardHeight);

        if (toolbar != nullptr)
            toolbar->setBounds (0, 0, width, toolbarThickness);
    }
    else
    {
        errorLabel.setBounds (0, 277, errorWidth, errorHeight);
    }
}

//==============================================================================
void MainComponent::prepareToPlay (int samplesPerBlockExpected, double sampleRate)
{
    midiCollector.reset (sampleRate);

    if (plugin != nullptr)
        plugin->prepareToPlay (sampleRate, samplesPerBlockExpected);
}

void MainComponent::releaseResources()
{
    if (plugin != nullptr)
        plugin->releaseResources();
}

void MainComponent::getNextAudioBlock (const juce::AudioSourceChannelInfo& bufferToFill)
{
    bufferToFill.clearActiveBufferRegion();

    blockMidi.clear();
    midiCollector.removeNextBlockOfMessages (blockMidi, bufferToFill.numSamples);
    keyboardState.processNextMidiBuffer (blockMidi, bufferToFill.startSample, bufferToFill.numSamples, true);

    if (auto* instrument = audioThreadPlugin.load (std::memory_order_acquire))
        instrument->processBlock (*bufferToFill.buffer, blockMidi);
}

//==============================================================================
void MainComponent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    // Until the settings are first shown no row of their MIDI list can be selected.
    auto* midiInputs = audioSettingsComponent != nullptr ? audioSettingsComponent->getMidiInputSelectorListBox() : nullptr;
    const auto row = midiInputs != nullptr ? midiInputs->getSelectedRow (0) : -1;

    if (midiInputs != nullptr && midiInputs->isRowSelected (row))
    {
        midiInputs->deselectRow (row);
        return;
    }

    EnableSpecificMidiInput (row);
}

void MainComponent::EnableSpecificMidiInput (int index)
{
    const auto inputs = juce::MidiInput::getAvailableDevices();
    const auto nameAt = [&inputs] (int position)
    {
        return juce::isPositiveAndBelow (position, inputs.size()) ? inputs.getReference (position).name : juce::String();
    };

    // The all-inputs registration is never removed here: only that of a named input.
    if (const auto previous = findMidiInputNamed (nameAt (lastMidiInputIndex)))
        deviceManager.removeMidiInputDeviceCallback (previous->identifier, &midiCollector);

    const auto chosenName = nameAt (index);
    const auto chosen = findMidiInputNamed (chosenName);

    if (chosen && ! deviceManager.isMidiInputDeviceEnabled (chosen->identifier))
        deviceManager.setMidiInputDeviceEnabled (chosen->identifier, true);

    if (chosenName.isEmpty())
        deviceManager.addMidiInputDeviceCallback ({}, &midiCollector);
    else if (chosen)
        deviceManager.addMidiInputDeviceCallback (chosen->identifier, &midiCollector);

    lastMidiInputIndex = index;
}

/** Enables every connected MIDI input when none of the enabled ones is connected: on a
    first run, or when every input of the saved state is unplugged. An enabled input that
    is connected is the user's choice, and stays the only one.
*/
void MainComponent::EnableMidiInputsWhenNoneEnabledIsConnected()
{
    const auto inputs = juce::MidiInput::getAvailableDevices();

    for (const auto& input : inputs)
        if (deviceManager.isMidiInputDeviceEnabled (input.identifier))
            return;

    if (inputs.isEmpty())
        return;

    for (int index = 0; index < inputs.size(); ++index)
        EnableSpecificMidiInput (index);

    // Each call leaves the collector registered for the input that it enabled, beside the
    // registration for every enabled input; this keeps the latter alone, as a change does.
    EnableSpecificMidiInput (-1);
}

void MainComponent::OnMidiDeviceAdded (const juce::MidiDeviceInfo&)
{
    // A keyboard has come, so the start-up check has nothing to warn of; and the alerter,
    // which listens only until the first one, could not close its alert any more.
    stopTimer();
    EnableMidiInputsWhenNoneEnabledIsConnected();
}

void MainComponent::OnMidiDeviceRemoved (const juce::MidiDeviceInfo&)
{
    // An input that goes stays enabled in the device state, for when it comes back.
}
