// In a process of its own: the library loader keeps a loaded instrument under its path
// name, so no other instrument may have been loaded from the same resources before.

#include "HostFixture.h"

TEST_F (Host, SaysSoWhenTheInstrumentIsFoundButCannotBeLoaded)
{
    HostResources::InstallInstrumentLibrary (juce::File (ORVO_TEST_PLUGINS_DIR)
                                                 .getChildFile ("DescribedOnce.vst/Contents/x86_64-linux/DescribedOnce.so"));
    auto probe = build();

    EXPECT_EQ (probe.descriptions().size(), 1);
    EXPECT_EQ (probe.plugin(), nullptr);

    const auto text = probe.errorLabel().getText();
    EXPECT_TRUE (text.startsWith ("The plugin for Tarnwell App could not be loaded: ")) << text;
    EXPECT_TRUE (text.endsWith ("\n\nPlease run your Tarnwell App installer again to reinstall.")) << text;
    EXPECT_GT (text.length(), juce::String ("The plugin for Tarnwell App could not be loaded: \n\nPlease run your Tarnwell App installer again to reinstall.").length())
        << "the framework's reason is part of the text";
    EXPECT_TRUE (probe.errorLabel().isVisible());
    EXPECT_EQ (probe.errorLabel().getParentComponent(), host.get());
    EXPECT_EQ (probe.errorLabel().getJustificationType().getFlags(), 4);
    EXPECT_EQ (host->getWidth(), 800);
    EXPECT_EQ (host->getHeight(), 500);
}
