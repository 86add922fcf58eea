// In a process of its own: the library loader keeps a loaded instrument under its path
// name, so no other instrument may have been loaded from the same resources before.

#include "HostFixture.h"

TEST_F (Host, PlaysAnInstrumentWithoutAnEditorAndShowsNothing)
{
    HostResources::InstallInstrumentLibrary (juce::File (ORVO_TEST_PLUGINS_DIR)
                                                 .getChildFile ("Editorless.vst/Contents/x86_64-linux/Editorless.so"));
    auto probe = build();

    ASSERT_NE (probe.plugin(), nullptr);
    EXPECT_EQ (probe.editor(), nullptr);
    EXPECT_EQ (host->getWidth(), 0);
    EXPECT_EQ (host->getHeight(), 0);
    EXPECT_EQ (probe.errorLabel().getParentComponent(), nullptr);

    host->setSize (10, 10);  // a layout with no editor to measure places nothing
    EXPECT_EQ (probe.keyboard().getBounds(), juce::Rectangle<int> (0, 0, 0, 0));

    driveBlocksByHand (256, 48000.0);
    renderBlock();
    EXPECT_EQ (probe.plugin()->getSampleRate(), 48000.0);
}

TEST_F (Host, TheKeyboardCommandLeavesAnInstrumentWithoutAnEditorAsItIs)
{
    HostResources::InstallInstrumentLibrary (juce::File (ORVO_TEST_PLUGINS_DIR)
                                                 .getChildFile ("Editorless.vst/Contents/x86_64-linux/Editorless.so"));
    auto probe = build();
    ASSERT_EQ (probe.editor(), nullptr);
    host->setSize (10, 10);

    std::unique_ptr<juce::ToolbarItemComponent> keyboardButton (probe.toolbarFactory().createItem (2));
    host->buttonClicked (keyboardButton.get());

    EXPECT_FALSE (probe.keyboard().isVisible());
    EXPECT_EQ (host->getBounds(), juce::Rectangle<int> (0, 0, 10, 10));
}
