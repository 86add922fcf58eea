// MainComponent's device state: read from the settings file at the start, given to the
// device manager, and written back at the exit.

#include "MainComponent.h"

namespace
{
const juce::File UserAppData = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);

constexpr const char* settingsPath = "Application Support/Calvera/Merovalt/Settings.xml";

juce::File settingsFile()
{
    return UserAppData.getChildFile (settingsPath);
}

/** The framework rebuilds its device state while it applies the saved one, before it
    has read the saved MIDI inputs; an input that is not connected in this run would drop
    out of the file, and with it the user's choice of that input. This puts such inputs
    back after the enabled ones, where the framework itself lists them.
*/
void keepMidiInputsNotConnected (const juce::XmlElement& stateRead, juce::XmlElement& stateToWrite)
{
    const auto connected = juce::MidiInput::getAvailableDevices();

    const auto listed = [&stateToWrite] (const juce::MidiDeviceInfo& input)
    {
        for (auto* child : stateToWrite.getChildWithTagNameIterator ("MIDIINPUT"))
            if (child->getStringAttribute ("name") == input.name
                && child->getStringAttribute ("identifier") == input.identifier)
                return true;

        return false;
    };

    for (auto* child : stateRead.getChildWithTagNameIterator ("MIDIINPUT"))
    {
        const juce::MidiDeviceInfo input (child->getStringAttribute ("name"), child->getStringAttribute ("identifier"));

        if (connected.contains (input) || listed (input))
            continue;

        auto* kept = stateToWrite.createNewChildElement ("MIDIINPUT");
        kept->setAttribute ("name", input.name);
        kept->setAttribute ("identifier", input.identifier);
    }
}
}

//==============================================================================
void MainComponent::ReadSavedDeviceState()
{
    const auto settings = settingsFile();
    settings.create();

    // Only a file with content can hold a state. Asking first also leaves alone what is
    // not a plain file: reading a pipe would wait for a writer that never comes.
    if (settings.getSize() <= 0)
        return;

    // Read once, parsed from memory: the text is needed again just below.
    const auto text = settings.loadFileAsString();
    savedDeviceState = juce::parseXML (text);

    // The framework's parser takes a document that stops inside its root element's
    // start tag as whole. Such a file was cut short; read as it is, it can name no
    // device at all, and then no device would open on any start.
    if (savedDeviceState != nullptr && ! text.trimEnd().endsWithChar ('>'))
        savedDeviceState.reset();

    // The device manager takes its element in any letter case, but expects the
    // framework's own spelling.
    if (savedDeviceState != nullptr && savedDeviceState->getTagName().equalsIgnoreCase ("DEVICESETUP"))
        savedDeviceState->setTagName ("DEVICESETUP");
}

bool MainComponent::RestoreDeviceState()
{
    // Without a saved state this asks for just what setAudioChannels has opened, and the
    // framework would close the device and open it again to give it.
    auto audioError = savedDeviceState == nullptr && deviceManager.getCurrentAudioDevice() != nullptr
                          ? juce::String()
                          : deviceManager.initialise (0, 2, savedDeviceState.get(), true, {}, nullptr);

    // A saved state may name no output device at all; the framework then opens none and
    // reports nothing, and every start would end in the alert. Such a state is treated
    // like one whose device cannot be opened: the default device opens, and the file is
    // left as it is.
    if (deviceManager.getCurrentAudioDevice() == nullptr && savedDeviceState != nullptr)
        audioError = deviceManager.initialise (0, 2, nullptr, true, {}, nullptr);

    // With no device at all the framework reports no error text on Linux, so the open
    // device is what counts.
    return audioError.isEmpty() && deviceManager.getCurrentAudioDevice() != nullptr;
}

void MainComponent::SaveDeviceState()
{
    if (plugin == nullptr)
        return;

    auto state = deviceManager.createStateXml();

    // Only an element that the device manager took at start-up had its inputs read.
    if (state != nullptr && savedDeviceState != nullptr
        && savedDeviceState->getTagName().equalsIgnoreCase ("DEVICESETUP"))
        keepMidiInputsNotConnected (*savedDeviceState, *state);

    savedDeviceState = std::move (state);
    if (savedDeviceState == nullptr)
        return;

    // A link in the file's place is the user's and stays: the state goes to the file that it
    // names, and nowhere while that file's folder is missing (on a drive not mounted, say).
    const auto settings = settingsFile().getLinkedTarget();
    if (settings != settingsFile() && ! settings.getParentDirectory().isDirectory())
        return;

    settings.create();
    savedDeviceState->writeTo (settings);
}

