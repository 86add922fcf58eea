#pragma once

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "AlertScript.h"
#include "HostFixture.h"
#include "MessageLoop.h"
#include "TemporaryFolder.h"
#include "X11Display.h"

inline X11Display::WindowId windowOf (juce::Component& window)
{
    return (X11Display::WindowId) (juce::pointer_sized_uint) window.getWindowHandle();
}

inline int numberOfOpenModalComponents()
{
    return juce::ModalComponentManager::getInstance()->getNumModalComponents();
}

inline juce::uint32 rgbAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getARGB() & 0xffffffu;
}

inline int countPixels (const juce::Image& image, const std::function<bool (juce::Colour)>& counts,
                        juce::Range<int> rows = { 0, std::numeric_limits<int>::max() })
{
    int count = 0;
    for (int y = rows.getStart(); y < std::min (rows.getEnd(), image.getHeight()); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (counts (image.getPixelAt (x, y)))
                ++count;
    return count;
}

inline int countPixelsInRow (const juce::Image& image, int y, const std::function<bool (juce::Colour)>& counts)
{
    return countPixels (image, counts, { y, y + 1 });
}

/** The commands, reached as a user reaches them: through the buttons of a toolbar that
    the host's own factory filled and whose clicks go to the host. */
class ToolbarCommands : public Host
{
protected:
    void SetUp() override
    {
        if (! display.IsOpen())
            GTEST_SKIP() << "no display: scripts/test starts one";

        HostResources::InstallShippedInstrument();
    }

    MainComponentProbe buildWithToolbar()
    {
        auto probe = build();
        addToolbar (probe);
        return probe;
    }

    void addToolbar (MainComponentProbe& probe)
    {
        auto toolbar = std::make_unique<juce::Toolbar>();
        toolbar->addDefaultItems (probe.toolbarFactory());

        for (int i = 0; i < toolbar->getNumItems(); ++i)
            toolbar->getItemComponent (i)->addListener (host.get());

        probe.setToolbar (std::move (toolbar));
    }

    static void click (juce::Button* button)
    {
        ASSERT_NE (button, nullptr);
        button->triggerClick();
        RunPendingMessages();
    }

    /** Presses Escape in the dialog's window, as the framework hands on a key from the
        display, and lets the framework finish with the dialog. */
    static bool closeWithEscape (MainComponentProbe& probe)
    {
        auto* dialog = probe.settingsWindow();
        if (dialog == nullptr || dialog->getPeer() == nullptr)
            return false;

        dialog->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
        RunPendingMessages();
        return probe.settingsWindow() == nullptr;
    }

    /** Takes screenshots of the window until what it shows passes the test. */
    juce::Image screenshotOnceShown (juce::Component& window, const juce::String& fileName,
                                     const std::function<bool (const juce::Image&)>& isShown)
    {
        const auto file = GetTestOutputFolder().getChildFile (fileName);
        juce::Image image;
        RunMessagesUntil ([&]
        {
            image = display.SaveScreenshot (windowOf (window), file) ? juce::ImageFileFormat::loadFrom (file)
                                                                      : juce::Image();
            return image.isValid() && isShown (image);
        }, 20000);
        return image;
    }

    /** The product-information box's message, read while it is open; the box is closed
        with its button. */
    std::string productInformationShownBy (MainComponentProbe& probe)
    {
        std::string message;
        AlertScript script ([&message] (juce::AlertWindow& alert)
        {
            message = MessageOf (alert);
            PressTheOnlyButton (alert);
        });
        click (probe.toolbarFactory().GetProductInfoButton());

        EXPECT_TRUE (script.HasRun());
        EXPECT_FALSE (script.HadToCloseTheAlert());
        return message;
    }

    X11Display display;
};
