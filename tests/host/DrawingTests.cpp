#include <gtest/gtest.h>

#include "AppProcess.h"
#include "HostResources.h"
#include "MainComponentProbe.h"
#include "X11Display.h"

namespace
{
const juce::Colour background (0xff1c1e20);

void writePicture (int width, int height, juce::Colour colour)
{
    juce::Image picture (juce::Image::ARGB, width, height, true);
    picture.clear (picture.getBounds(), colour);

    const auto file = HostResources::Folder().getChildFile ("error.png");
    file.deleteFile();
    juce::FileOutputStream stream (file);
    juce::PNGImageFormat().writeImageToStream (picture, stream);
}

juce::Image paintOf (MainComponent& host)
{
    juce::Image image (juce::Image::ARGB, std::max (1, host.getWidth()), std::max (1, host.getHeight()), true);
    juce::Graphics g (image);
    host.paint (g);
    return image;
}

/** The area in which the picture's colour covers at least half of a pixel. */
juce::Rectangle<int> areaCoveredBy (const juce::Image& image, juce::Colour colour)
{
    juce::Rectangle<int> area;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
        {
            const auto pixel = image.getPixelAt (x, y);
            const auto distanceToColour = std::abs (pixel.getRed() - colour.getRed()) + std::abs (pixel.getGreen() - colour.getGreen());
            const auto distanceToBackground = std::abs (pixel.getRed() - background.getRed()) + std::abs (pixel.getGreen() - background.getGreen());
            if (distanceToColour < distanceToBackground)
                area = area.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : area.getUnion ({ x, y, 1, 1 });
        }
    return area;
}

bool allPixelsAre (const juce::Image& image, juce::Colour colour)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y) != colour)
                return false;
    return true;
}

class Drawing : public ::testing::Test
{
protected:
    void TearDown() override
    {
        host.reset();
        HostResources::Clear();
    }

    MainComponentProbe build()
    {
        host = std::make_unique<MainComponent> (config, applicationName);
        return { *host };
    }

    SynthConfig config;
    std::string applicationName = "Tarnwell App";
    std::unique_ptr<MainComponent> host;
};
}

TEST_F (Drawing, WithAnInstrumentPaintsOnlyBlackAndReadsNoPicture)
{
    HostResources::InstallShippedInstrument();
    writePicture (150, 150, juce::Colours::red);
    auto probe = build();
    ASSERT_NE (probe.plugin(), nullptr);

    EXPECT_TRUE (allPixelsAre (paintOf (*host), juce::Colours::black));
    HostResources::Folder().getChildFile ("error.png").deleteFile();
    EXPECT_TRUE (allPixelsAre (paintOf (*host), juce::Colours::black));
    EXPECT_FALSE (probe.errorImage().isValid());
}

TEST_F (Drawing, WithoutAnInstrumentFitsThePictureLeftAlignedAndCentredVertically)
{
    HostResources::Clear();
    build();

    struct Case { int width, height; juce::Rectangle<float> expected; };
    for (const auto& c : { Case { 150, 150, { 320.0f, 100.0f, 150.0f, 150.0f } },
                           Case { 300, 75, { 320.0f, 156.25f, 150.0f, 37.5f } },
                           Case { 50, 100, { 320.0f, 100.0f, 75.0f, 150.0f } } })
    {
        SCOPED_TRACE (juce::String (c.width) + " x " + juce::String (c.height));
        writePicture (c.width, c.height, juce::Colours::red);
        const auto image = paintOf (*host);

        EXPECT_EQ (image.getPixelAt (5, 5), background);
        EXPECT_EQ (image.getPixelAt (790, 490), background);
        EXPECT_EQ (areaCoveredBy (image, juce::Colours::red), c.expected.toNearestIntEdges());
    }
}

TEST_F (Drawing, WithoutAnInstrumentReadsThePictureAfreshOnEveryPaint)
{
    HostResources::Clear();
    build();

    writePicture (150, 150, juce::Colours::red);
    EXPECT_FALSE (areaCoveredBy (paintOf (*host), juce::Colours::red).isEmpty());

    writePicture (150, 150, juce::Colours::green);
    const auto replaced = paintOf (*host);
    EXPECT_TRUE (areaCoveredBy (replaced, juce::Colours::red).isEmpty());
    EXPECT_EQ (areaCoveredBy (replaced, juce::Colours::green), juce::Rectangle<int> (320, 100, 150, 150));

    HostResources::Folder().getChildFile ("error.png").deleteFile();
    EXPECT_TRUE (allPixelsAre (paintOf (*host), background));
}

TEST_F (Drawing, AnUnreadablePictureLeavesOnlyTheBackground)
{
    HostResources::Clear();
    build();

    WriteFile (HostResources::Folder().getChildFile ("error.png"), "not a picture");
    EXPECT_TRUE (allPixelsAre (paintOf (*host), background));
}

TEST_F (Drawing, PlacesTheKeyboardBelowTheEditorAndAToolbarAlongItsTop)
{
    HostResources::InstallShippedInstrument();
    auto probe = build();
    ASSERT_NE (probe.editor(), nullptr);

    probe.setToolbar (std::make_unique<juce::Toolbar>());
    probe.editor()->setSize (600, 400);
    host->resized();

    EXPECT_EQ (probe.keyboard().getBounds(), juce::Rectangle<int> (0, 400, 600, 60));
    EXPECT_EQ (probe.host.getChildComponent (host->getNumChildComponents() - 1)->getBounds(),
               juce::Rectangle<int> (0, 0, 600, 0));
}

TEST_F (Drawing, PlacesTheErrorLabelTheSameWhateverTheComponentsSize)
{
    HostResources::Clear();
    auto probe = build();

    for (const auto size : { juce::Point<int> (800, 500), juce::Point<int> (300, 200), juce::Point<int> (1200, 900) })
    {
        host->setSize (size.x, size.y);
        EXPECT_EQ (probe.errorLabel().getBounds(), juce::Rectangle<int> (0, 277, 800, 500));
    }
}

TEST (DrawingOnScreen, TheAppWithoutItsInstrumentShowsThePictureAndTheText)
{
    X11Display display;
    if (! display.IsOpen())
        GTEST_SKIP() << "no display: scripts/test starts one";

    AppInstallation installation;
    installation.AddShippedResource ("config.json");
    installation.AddShippedResource ("error.png");

    AppProcess app (installation.getExecutable(), { { "HOME", installation.getHome().getFullPathName().toStdString() } });
    const auto window = display.WaitForWindow (app.GetPid(), 20000);
    ASSERT_TRUE (window.has_value()) << app.GetStandardError();
    juce::Thread::sleep (1500);

    EXPECT_EQ (display.GetGeometry (*window).getWidth(), 800);
    EXPECT_EQ (display.GetGeometry (*window).getHeight(), 500);
    EXPECT_TRUE (display.SaveScreenshot (*window, GetTestOutputFolder().getChildFile ("host-without-instrument.png")));
}
