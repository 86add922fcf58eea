#include "ToolbarCommandFixture.h"

namespace
{
constexpr juce::uint32 editorBackground = 0x15171c;

/** The host as the content of a real window that follows the content's size. */
struct HostWindow
{
    explicit HostWindow (MainComponent& host)
        : window ("Host", juce::Colours::black, 0, true)
    {
        window.setUsingNativeTitleBar (true);
        window.setContentNonOwned (&host, true);
        window.setTopLeftPosition (0, 0);
        window.setVisible (true);
    }

    /** Out of the way of the windows of tests that run beside this one. */
    void moveToBottomRightOfTheScreen()
    {
        const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea;
        window.setTopLeftPosition (screen.getRight() - window.getWidth(), screen.getBottom() - window.getHeight());
    }

    juce::DocumentWindow window;
};
}

TEST_F (ToolbarCommands, TheKeyboardCommandShowsTheKeyboardUnderTheEditorThenHidesIt)
{
    auto probe = buildWithToolbar();
    ASSERT_NE (probe.editor(), nullptr);
    HostWindow hostWindow (*host);
    auto& window = hostWindow.window;

    const auto width = probe.editor()->getWidth();
    const auto height = probe.editor()->getHeight();
    const juce::Point<int> windowSize (window.getWidth(), window.getHeight());
    ASSERT_EQ (host->getBounds(), juce::Rectangle<int> (0, 0, width, height));

    click (probe.toolbarFactory().GetKeyboardButton());
    EXPECT_EQ (host->getBounds(), juce::Rectangle<int> (0, 0, width, height + 60));
    EXPECT_EQ (probe.keyboard().getBounds(), juce::Rectangle<int> (0, height, width, 60));
    EXPECT_TRUE (probe.keyboard().isVisible());
    EXPECT_EQ (window.getWidth(), windowSize.x);
    EXPECT_EQ (window.getHeight(), windowSize.y + 60);
    EXPECT_EQ (probe.editor()->getBounds(), juce::Rectangle<int> (0, 0, width, height));

    click (probe.toolbarFactory().GetKeyboardButton());
    EXPECT_EQ (host->getBounds(), juce::Rectangle<int> (0, 0, width, height));
    EXPECT_FALSE (probe.keyboard().isVisible());
    EXPECT_EQ (window.getWidth(), windowSize.x);
    EXPECT_EQ (window.getHeight(), windowSize.y);
}

TEST_F (ToolbarCommands, TheKeyboardOnScreenUnderTheEditor)
{
    auto probe = buildWithToolbar();
    ASSERT_NE (probe.editor(), nullptr);
    HostWindow hostWindow (*host);
    click (probe.toolbarFactory().GetKeyboardButton());
    hostWindow.moveToBottomRightOfTheScreen();

    const auto height = probe.editor()->getHeight();
    const auto keysRow = height + 50;

    // The instrument paints from its own thread: wait for its background and for the
    // white keys below it.
    const auto image = screenshotOnceShown (hostWindow.window, "keyboard-under-editor.png", [&] (const juce::Image& shot)
    {
        return shot.getHeight() > keysRow && rgbAt (shot, 4, 4) == editorBackground
            && countPixelsInRow (shot, keysRow, [] (juce::Colour c) { return c.getBrightness() > 0.9f; }) > shot.getWidth() / 2;
    });

    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), probe.editor()->getWidth());
    EXPECT_EQ (image.getHeight(), height + 60);
    EXPECT_EQ (rgbAt (image, 4, 4), editorBackground);

    const auto blackKeyPixels = countPixelsInRow (image, height + 10, [] (juce::Colour c) { return c.getBrightness() < 0.5f; });
    EXPECT_GT (blackKeyPixels, image.getWidth() / 4) << "black keys hang from the top of the strip";
}
