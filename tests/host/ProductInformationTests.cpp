#include "ToolbarCommandFixture.h"

namespace
{
const std::string rightsNotice = "Copyright (c) Calvera.\nAll rights reserved.";
}

TEST_F (ToolbarCommands, ProductInformationNamesTheVersionTheNoticeAndThePlugin)
{
    auto probe = buildWithToolbar();
    ASSERT_EQ (probe.descriptions().size(), 1);
    const auto& description = *probe.descriptions()[0];

    juce::String title;
    bool isInfo = false;
    juce::StringArray buttonTexts;
    std::string message;
    AlertScript script ([&] (juce::AlertWindow& alert)
    {
        title = alert.getName();
        isInfo = alert.getAlertType() == juce::AlertWindow::InfoIcon;
        for (auto* button : ButtonsOf (alert))
            buttonTexts.add (button->getButtonText());
        message = MessageOf (alert);
        PressTheOnlyButton (alert);
    });
    click (probe.toolbarFactory().GetProductInfoButton());

    ASSERT_TRUE (script.HasRun()) << "the command returns only once the box has closed";
    EXPECT_EQ (OpenAlert(), nullptr);
    EXPECT_EQ (title, "About this Program");
    EXPECT_TRUE (isInfo);
    EXPECT_EQ (buttonTexts, juce::StringArray ("OK"));
    EXPECT_EQ (message, "Standalone version: 0.0.0.14\n"
                        "\n"
                        + rightsNotice + "\n"
                        "\n"
                        "Plugin information\n"
                        "    " + description.descriptiveName.toStdString() + "\n"
                        "    by " + description.manufacturerName.toStdString() + "\n"
                        "    version " + description.version.toStdString() + "\n");
    EXPECT_EQ (description.descriptiveName, "Tarnwell App");
    EXPECT_EQ (description.manufacturerName, "Calvera");
    EXPECT_FALSE (probe.toolbarFactory().GetProductInfoButton()->getToggleState());
}

TEST_F (ToolbarCommands, ProductInformationWritesThePluginLinesAlsoWhenTheirValuesAreEmpty)
{
    auto probe = buildWithToolbar();
    ASSERT_EQ (probe.descriptions().size(), 1);
    auto& description = *probe.descriptions()[0];
    description.descriptiveName = {};
    description.manufacturerName = {};
    description.version = {};

    EXPECT_EQ (productInformationShownBy (probe),
               "Standalone version: 0.0.0.14\n\n" + rightsNotice + "\n\n"
               "Plugin information\n"
               "    \n"
               "    by \n"
               "    version \n");
}

TEST_F (ToolbarCommands, ProductInformationEndsWithTheNoticeWhenNoPluginWasFound)
{
    HostResources::Clear();
    auto probe = buildWithToolbar();
    ASSERT_TRUE (probe.descriptions().isEmpty());

    EXPECT_EQ (productInformationShownBy (probe), "Standalone version: 0.0.0.14\n\n" + rightsNotice + "\n\n");
}
