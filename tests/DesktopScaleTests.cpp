// The app on a desktop as a person's GNOME session shows it, at 100 % and at 200 %: every
// start on a fresh desktop of its own, with GNOME's window manager and the scale announced
// through XSETTINGS, as the session announces it.

#include <iostream>

#include "AppUnderTest.h"
#include "VirtualDesktop.h"

namespace
{
constexpr int toolbar = 32, editorWidth = 600, editorHeight = 400;
const juce::Colour instrumentBackground (0xff15171c);

bool IsBlack (juce::Colour colour)
{
    return std::max ({ colour.getRed(), colour.getGreen(), colour.getBlue() }) < 8;
}

/** How many pixels of the area are black; the instrument draws none. */
int BlackPixels (const juce::Image& image, juce::Rectangle<int> area)
{
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            count += IsBlack (image.getPixelAt (x, y)) ? 1 : 0;
    return count;
}

using DesktopScale = AppUnderTest;
}

// Centred: the window as the user sees it, its frame's title bar and its client area, has its
// centre within 2 pixels of the work area's centre; so the client area's centre lies half a
// title bar below it.
// Filled: the editor's place under the toolbar (the editor's size times the scale) holds no
// black pixel, and its bottom-right corner (inside the instrument's margin) shows the
// instrument's background; the app has 5 s to paint it.
TEST_F (DesktopScale, TheMainWindowOpensCentredAtTheDesktopsScaleWithTheEditorFillingItsPlace)
{
    struct Row
    {
        int scale;
        juce::Rectangle<int> screen;
        int starts;
    };
    for (const auto& row : { Row { 1, { 1920, 1080 }, 10 }, Row { 2, { 3840, 2160 }, 10 } })
    {
        const auto scaled = [&row] (juce::Rectangle<int> area)
        {
            return area * row.scale;
        };
        const auto editor = scaled ({ 0, toolbar, editorWidth, editorHeight });
        const auto corner = scaled ({ editorWidth - 10, toolbar + editorHeight - 10, 8, 8 });
        int sized = 0, centred = 0, filled = 0;

        for (int start = 1; start <= row.starts; ++start)
        {
            const auto what = "scale " + std::to_string (row.scale) + ", start " + std::to_string (start);
            SCOPED_TRACE (what);
            VirtualDesktop desktop (row.scale, row.screen, 30000 * slowness);
            ASSERT_FALSE (desktop.GetName().empty()) << "no desktop came up:\n" << desktop.GetStandardError();
            X11Display screen (desktop.GetName());
            auto& app = Launch ({ { "DISPLAY", desktop.GetName() } });
            const auto isMain = [&] (auto id)
            {
                return screen.GetTitle (id) == productName && screen.HasFixedSize (id);
            };
            const auto window = screen.WaitForWindow (app.GetPid(), 20000 * slowness, isMain);
            ASSERT_TRUE (window.has_value()) << "no main window; the app wrote:\n" << app.GetStandardError();

            juce::Image shown;
            const auto isFilled = [&]
            {
                return shown.getBounds().contains (editor) && BlackPixels (shown, editor) == 0
                       && shown.getClippedImage (corner).getPixelAt (0, 0) == instrumentBackground
                       && shown.getClippedImage (corner).getPixelAt (7, 7) == instrumentBackground;
            };
            for (int waited = 0; waited < 5000 * slowness; waited += 250, juce::Thread::sleep (250))
                if (shown = screen.Screenshot (*window, "desktop-at-scale-" + std::to_string (row.scale)); isFilled())
                    break;

            const auto client = screen.GetGeometry (*window);
            const auto frame = screen.GetFrame (*window);
            const auto offset = client.getCentre() - screen.GetWorkArea().getCentre();
            const auto isCentred = std::abs (offset.x) <= 2 && std::abs (offset.y - frame.getTop() / 2) <= 2;
            sized += client.withZeroOrigin() == scaled ({ editorWidth, toolbar + editorHeight }) ? 1 : 0;
            centred += isCentred ? 1 : 0;
            filled += isFilled() ? 1 : 0;
            std::cout << what << " on " << desktop.GetName() << ": client area " << client.toString() << ", frame top "
                      << frame.getTop() << ", centre offset " << offset.toString()
                      << (isCentred ? " (centred)" : " (not centred)") << ", editor "
                      << (isFilled() ? "filled" : "not filled") << ": "
                      << BlackPixels (shown, editor.getIntersection (shown.getBounds())) << " black pixels, corner "
                      << shown.getPixelAt (corner.getX(), corner.getY()).toDisplayString (false) << std::endl;

            screen.SendCloseRequest (*window);
            EXPECT_EQ (app.WaitForExit (10000 * slowness), std::optional<int> (0));
            const auto errors = app.GetStandardError();
            EXPECT_EQ (errors.find ("JUCE Assertion failure"), std::string::npos) << errors;
            launched.clear();
        }

        SCOPED_TRACE ("scale " + std::to_string (row.scale));
        EXPECT_EQ (sized, row.starts) << "starts at " << scaled ({ editorWidth, toolbar + editorHeight }).toString();
        EXPECT_EQ (centred, row.starts) << "starts centred on the screen";
        EXPECT_EQ (filled, row.starts) << "starts with the editor filling its place";
    }
}
