#include <cmath>

#include <gtest/gtest.h>

#include "DeviceManagerProbe.h"
#include "HostFixture.h"

namespace
{
class HostWithInstrument : public Host
{
protected:
    void SetUp() override { HostResources::InstallShippedInstrument(); }
};

class HostWithoutInstrument : public Host
{
protected:
    void SetUp() override { HostResources::Clear(); }
};
}

TEST_F (HostWithInstrument, OpensTheAudioDeviceWithTwoOutputsAndNoInputs)
{
    build();
    auto* device = host->deviceManager.getCurrentAudioDevice();
    ASSERT_NE (device, nullptr) << "the tests need the JACK dummy server that scripts/test starts";
    EXPECT_EQ (device->getActiveOutputChannels().countNumberOfSetBits(), 2);
    EXPECT_EQ (device->getActiveInputChannels().countNumberOfSetBits(), 0);
}

TEST_F (HostWithInstrument, ShowsTheInstrumentsEditorAsItsWholeContent)
{
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);
    ASSERT_NE (probe.editor(), nullptr);

    EXPECT_EQ (probe.editor()->getBounds(), juce::Rectangle<int> (0, 0, host->getWidth(), host->getHeight()));
    EXPECT_GT (host->getWidth(), 0);
    EXPECT_TRUE (probe.editor()->isVisible());
    EXPECT_EQ (probe.editor()->getParentComponent(), host.get());
    EXPECT_EQ (probe.errorLabel().getParentComponent(), nullptr);

    const auto setup = host->deviceManager.getAudioDeviceSetup();
    EXPECT_EQ (probe.plugin()->getSampleRate(), setup.sampleRate);
    EXPECT_EQ (probe.plugin()->getBlockSize(), setup.bufferSize);
    EXPECT_EQ (probe.descriptions().size(), 1);
    EXPECT_EQ (probe.formats().getNumFormats(), 2);
}

TEST_F (HostWithInstrument, KeepsTheOnScreenKeyboardHiddenAndSetUpBelowTheEditor)
{
    auto probe = build();
    auto& keyboard = probe.keyboard();

    EXPECT_EQ (keyboard.getParentComponent(), host.get());
    EXPECT_FALSE (keyboard.isVisible());
    EXPECT_EQ (keyboard.findColour (juce::MidiKeyboardComponent::mouseOverKeyOverlayColourId), juce::Colour (0x99ff0000));
    EXPECT_EQ (keyboard.findColour (juce::MidiKeyboardComponent::keyDownOverlayColourId), juce::Colour (0xff8b0000));
    EXPECT_EQ (keyboard.findColour (juce::MidiKeyboardComponent::textLabelColourId), juce::Colour (0xffd3d3d3));
    EXPECT_FLOAT_EQ (keyboard.getBlackNoteLengthProportion(), 0.56f);
    EXPECT_FALSE (keyboard.getMouseClickGrabsKeyboardFocus());
    EXPECT_EQ (keyboard.getOrientation(), juce::MidiKeyboardComponent::horizontalKeyboard);
    EXPECT_EQ (keyboard.getBounds(), juce::Rectangle<int> (0, host->getHeight(), host->getWidth(), 60));
}

TEST_F (HostWithInstrument, PlaysMidiFromTheCollectorInTheNextBlockAndOnlyThere)
{
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);
    driveBlocksByHand (256, 48000.0);

    NoteCounter notes;
    probe.keyboardState().addListener (&notes);

    renderBlock();
    EXPECT_EQ (peakOf (buffer), 0.0f) << "nothing plays before a note";

    probe.collector().handleIncomingMidiMessage (nullptr, arrivingNow (juce::MidiMessage::noteOn (1, 69, (juce::uint8) 100)));
    renderBlock();
    EXPECT_EQ (notes.noteOns, 1);

    float loudest = 0.0f;
    for (int i = 0; i < 20; ++i)
    {
        renderBlock();
        loudest = std::max (loudest, peakOf (buffer));
    }

    EXPECT_EQ (notes.noteOns, 1) << "a message is delivered in one block only";
    EXPECT_GT (loudest, 0.01f);
    EXPECT_TRUE (probe.keyboardState().isNoteOn (1, 69));

    probe.keyboardState().removeListener (&notes);
}

TEST_F (HostWithInstrument, PrepareToPlayDropsQueuedMidiBeforeItPreparesTheInstrument)
{
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);
    driveBlocksByHand (256, 48000.0);

    NoteCounter notes;
    probe.keyboardState().addListener (&notes);

    probe.collector().handleIncomingMidiMessage (nullptr, arrivingNow (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100)));
    host->prepareToPlay (128, 44100.0);

    EXPECT_EQ (probe.plugin()->getSampleRate(), 44100.0);
    EXPECT_EQ (probe.plugin()->getBlockSize(), 128);

    buffer.setSize (2, 128);
    renderBlock();
    EXPECT_EQ (notes.noteOns, 0);

    probe.keyboardState().removeListener (&notes);
}

TEST_F (HostWithInstrument, RegistersTheCollectorOnceForAllInputsFromTheFirstChangeMessageOn)
{
    auto probe = build();
    auto& devices = host->deviceManager;
    auto* collector = &probe.collector();

    EXPECT_EQ (CountAllMidiInputCallbacks (devices), 0) << "nothing is collected before the first change message";
    EXPECT_EQ (probe.lastMidiInputIndex(), 0);

    pumpMessages (300);
    EXPECT_EQ (CountMidiInputCallbacks (devices, collector, {}), 1);
    EXPECT_EQ (CountAllMidiInputCallbacks (devices), 1);
    EXPECT_EQ (probe.lastMidiInputIndex(), -1);

    for (int i = 0; i < 3; ++i)
    {
        devices.sendChangeMessage();
        pumpMessages (100);
    }

    EXPECT_EQ (CountAllMidiInputCallbacks (devices), 1);
    EXPECT_EQ (CountMidiInputCallbacks (devices, collector, {}), 1);
}

TEST_F (HostWithInstrument, EnablingAnInputThatIsNotPresentKeepsTheAllInputsRegistration)
{
    auto probe = build();
    pumpMessages (300);

    for (const int index : { -1, 0, 5, 1000 })
    {
        host->EnableSpecificMidiInput (index);
        EXPECT_EQ (CountMidiInputCallbacks (host->deviceManager, &probe.collector(), {}), 1);
        EXPECT_EQ (CountAllMidiInputCallbacks (host->deviceManager), 1);
        EXPECT_EQ (probe.lastMidiInputIndex(), index);
    }
}

TEST_F (HostWithInstrument, AChangeMessageWithASelectedMidiInputRowOnlyDeselectsThatRow)
{
    auto probe = build();
    pumpMessages (300);

    // No MIDI input exists on this machine, so the list gets rows of a stand-in model.
    struct ThreeRows : juce::ListBoxModel
    {
        int getNumRows() override { return 3; }
        void paintListBoxItem (int, juce::Graphics&, int, int, bool) override {}
    } threeRows;

    auto* list = probe.settingsPanel().getMidiInputSelectorListBox();
    ASSERT_NE (list, nullptr);
    auto* ownModel = list->getModel();
    list->setModel (&threeRows);
    list->setMultipleSelectionEnabled (true);
    list->selectRow (1);
    list->selectRow (2, false, false);

    host->deviceManager.sendSynchronousChangeMessage();

    EXPECT_FALSE (list->isRowSelected (1));
    EXPECT_TRUE (list->isRowSelected (2)) << "only the first selected row is deselected";
    EXPECT_EQ (probe.lastMidiInputIndex(), -1) << "no input was switched to";
    EXPECT_EQ (CountAllMidiInputCallbacks (host->deviceManager), 1);

    list->deselectAllRows();
    list->setModel (ownModel);
}

TEST_F (HostWithoutInstrument, ShowsTheMissingPluginTextWithTheNameInBothPlaces)
{
    for (const std::string& name : { productName, std::string() })
    {
        SCOPED_TRACE ("application name \"" + name + "\"");
        auto probe = build (name);

        const auto folder = HostResources::Folder().getFullPathName().toStdString();
        const auto expected = "The plugin file for " + name + " is missing from its directory. \n\n"
                              "Please add the plugin back to your VST folder (" + folder + ")\n\n"
                              "or run your " + name + " installer again to reinstall.";

        EXPECT_EQ (probe.errorLabel().getText().toStdString(), expected);
        EXPECT_TRUE (probe.errorLabel().isVisible());
        EXPECT_EQ (probe.errorLabel().getParentComponent(), host.get());
        EXPECT_EQ (probe.errorLabel().getJustificationType().getFlags(), 4);
        EXPECT_EQ (host->getWidth(), 800);
        EXPECT_EQ (host->getHeight(), 500);
        EXPECT_EQ (probe.errorLabel().getBounds(), juce::Rectangle<int> (0, 277, 800, 500));
        EXPECT_EQ (probe.plugin(), nullptr);
        EXPECT_TRUE (probe.descriptions().isEmpty());
        host.reset();
    }
}

TEST_F (HostWithoutInstrument, RendersSilenceAndLetsNoMidiPileUp)
{
    auto probe = build();
    driveBlocksByHand (256, 48000.0);

    NoteCounter notes;
    probe.keyboardState().addListener (&notes);

    for (int block = 0; block < 10; ++block)
    {
        for (int note = 0; note < 20; ++note)
            probe.collector().handleIncomingMidiMessage (nullptr, arrivingNow (juce::MidiMessage::noteOn (1, 40 + note, (juce::uint8) 90)));

        renderBlock();
        EXPECT_EQ (peakOf (buffer), 0.0f);
        EXPECT_EQ (notes.noteOns, 20 * (block + 1)) << "each block takes exactly what arrived since the last";
    }

    juce::MidiBuffer leftOver;
    probe.collector().removeNextBlockOfMessages (leftOver, 256);
    EXPECT_TRUE (leftOver.isEmpty());

    probe.keyboardState().removeListener (&notes);
}
