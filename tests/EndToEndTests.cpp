// The real app, launched as a person would start it, in a folder and HOME of its own.

#include <csignal>
#include <cstdio>
#include <random>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <juce_audio_formats/juce_audio_formats.h>

#include "AppUnderTest.h"
#include "FormatHost.h"
#include "TarnwellColours.h"

namespace
{
const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";
const std::string jackDevice =
    R"(<DEVICESETUP deviceType="JACK" audioOutputDeviceName="system" audioInputDeviceName="")";
// The stand-in keyboard that every test starts with (unless it says otherwise), and what an exit writes
// with it enabled, as the app enables it when no input of the user's is connected.
const std::string keyboardInput = R"(<MIDIINPUT name="Stand-in Keyboard" identifier="20-0"/>)";
const std::string written = header + jackDevice + "\r\n             audioDeviceRate=\"48000.0\">\r\n  " + keyboardInput
                            + "\r\n</DEVICESETUP>\r\n";

/** A saved state in a hand-written form that the app never writes itself. */
std::string handWritten (const std::string& tag, const std::string& children = {})
{
    return "<?xml version=\"1.0\"?>\n<" + tag
           + R"( deviceType="JACK" audioOutputDeviceName="system" audioInputDeviceName="">)"
             "\n"
           + children + "</" + tag + ">\n";
}

/** The smallest rectangle holding the pixels nearer to the colour than to the other. */
juce::Rectangle<int> AreaOf (const juce::Image& image, juce::Colour colour, juce::Colour other)
{
    const auto distance = [] (juce::Colour a, juce::Colour b)
    {
        return std::abs (a.getRed() - b.getRed()) + std::abs (a.getGreen() - b.getGreen());
    };
    juce::Rectangle<int> area;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (distance (image.getPixelAt (x, y), colour) < distance (image.getPixelAt (x, y), other))
                area = area.isEmpty() ? juce::Rectangle<int> (x, y, 1, 1) : area.getUnion ({ x, y, 1, 1 });
    return area;
}

using EndToEnd = AppUnderTest;
}

TEST_F (EndToEnd, WithoutAnAudioDeviceShowsTheAlertAloneAndQuitsWhenItIsClosed)
{
    if (juce::File ("/proc/asound/cards").loadFileAsString().containsIgnoreCase ("]:"))
        GTEST_SKIP() << "this machine has sound hardware, so a device would open";

    auto& app = Launch ({ { "JACK_DEFAULT_SERVER", "orvo-no-server" } });
    const auto alert = display.WaitForWindow (app.GetPid(), 20000 * slowness);
    ASSERT_TRUE (alert.has_value()) << app.GetStandardError();
    juce::Thread::sleep (500);

    EXPECT_EQ (display.GetTitle (*alert), "Missing Audio Device");
    EXPECT_EQ (display.FindWindows (app.GetPid()).size(), 1u) << "the main window comes only after the alert";
    display.Screenshot (*alert, "missing-audio-device");
    display.PressKey (*alert, "Return");
    EXPECT_EQ (app.WaitForExit (10000 * slowness), std::optional<int> (0));
}

// Started as a system's alternatives start a program, through a link to a link, each in a folder of its own: the
// app finds its resources beside the executable itself, so it reads its configuration (the window's title is its
// name) and shows its instrument, the editor's top edge right under the 32-pixel toolbar.
TEST_F (EndToEnd, StartedThroughLinksFromOtherFoldersShowsItsInstrumentUnderTheToolbar)
{
    ASSERT_TRUE ((folder / "installed").createDirectory() && (folder / "alternatives").createDirectory());
    ASSERT_TRUE ((folder / "OrvoHost").moveFileTo (folder / "installed/OrvoHost"));
    ASSERT_TRUE (Resources().moveFileTo (folder / "installed/Resources"));
    ASSERT_TRUE ((folder / "installed/OrvoHost").createSymbolicLink (folder / "alternatives/OrvoHost", true));
    ASSERT_TRUE ((folder / "alternatives/OrvoHost").createSymbolicLink (folder / "OrvoHost", true));

    auto& app = Launch();
    const auto window = WaitForMainWindow (app);
    ASSERT_TRUE (window.has_value());

    // The first row down the window's left edge in the editor's background: the toolbar has a colour of its own.
    const auto editorTop = [this, &window]
    {
        const auto shown = display.Screenshot (*window, "started-through-links");
        for (int y = 0; y < shown.getHeight(); ++y)
            if (shown.getPixelAt (4, y) == TarnwellColours::background)
                return y;
        return -1;
    };
    auto top = -1;
    display.WaitForWindow (app.GetPid(), 5000 * slowness, [&] (auto) { return (top = editorTop()) >= 0; });
    EXPECT_EQ (top, 32) << "the editor's top edge";
    EXPECT_EQ (Close (app, *window), std::optional<int> (0));
}

// The strict test instrument ends the app, saying why, at a block that the running device gives it before it is
// prepared (it takes a while to get ready), or at one that brings back the MIDI it left in the block before.
TEST_F (EndToEnd, GivesTheInstrumentNoBlockBeforeItIsPreparedAndNotTheMidiItLeft)
{
    ReplaceInstrumentWith ("Strict");

    auto& app = Launch();
    const auto window = WaitForMainWindow (app);
    ASSERT_TRUE (window.has_value());
    juce::Thread::sleep (1000);  // some two hundred blocks
    EXPECT_EQ (Close (app, *window), std::optional<int> (0)) << app.GetStandardError();
    EXPECT_NE (app.GetStandardError().find ("Strict: played"), std::string::npos) << "the device played it";
}

// The user sees the picture and the message where the instrument would be; a saved state
// is left alone, as only an exit with the instrument loaded writes it. An instrument that
// crashes as it loads takes the app with it, since plug-ins load in its own process.
TEST_F (EndToEnd, ShowsThePictureAndTheMessageWithoutItsInstrument)
{
    const auto bundle = Resources().getChildFile ("Tarnwell App.vst");
    const auto install = [&] (const char* name)
    {
        WriteFile (SharedObjectIn (bundle, "Tarnwell App"),
                   ReadFile (SharedObjectIn (GetTestPluginBundle (name), name)));
    };
    struct Case
    {
        const char* description;
        std::function<void()> breakIt;
        bool saysWhy;
    };
    const Case cases[] {
        { "no bundle: it says where the bundle belongs", [] {}, true },
        { "a file in the place of the bundle", [&] { WriteFile (bundle, "not a bundle"); }, false },
        { "a shared object that is garbage", [&] { install ("Garbage"); }, false },
        { "an instrument that cannot be instantiated: it says so, with the framework's reason",
          [&] { install ("DescribedOnce"); }, true },
        { "an instrument that crashes", [&] { install ("Crashing"); }, false },
    };

    // A red picture four times as wide as high, fitted left-aligned and centred into 150 x 150 at (320, 100).
    juce::Image picture (juce::Image::RGB, 300, 75, true);
    picture.clear (picture.getBounds(), juce::Colours::red);
    juce::MemoryOutputStream png;
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (picture, png));
    Resources().getChildFile ("error.png").deleteFile();  // a link to the shipped picture
    WriteFile (Resources().getChildFile ("error.png"), { static_cast<const char*> (png.getData()), png.getDataSize() });
    WriteFile (Settings(), handWritten ("DEVICESETUP"));

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        bundle.deleteRecursively (false);
        bundle.deleteFile();
        c.breakIt();

        auto& app = Launch();
        if (juce::String (c.description).contains ("crashes"))
        {
            EXPECT_NE (app.WaitForExit (20000 * slowness).value_or (0), 0);
            launched.clear();
        }
        else if (const auto window = WaitForMainWindow (app))
        {
            juce::Thread::sleep (500);
            const auto shown = display.Screenshot (*window, "without-instrument");
            const juce::Colour background (0xff1c1e20);
            EXPECT_EQ (shown.getBounds(), juce::Rectangle<int> (0, 0, 800, 500));
            EXPECT_EQ (AreaOf (shown.getClippedImage ({ 0, 0, 800, 277 }), juce::Colours::red, background),
                       juce::Rectangle<int> (320, 156, 150, 38));
            EXPECT_EQ (shown.getPixelAt (5, 5), background);
            EXPECT_EQ (
                AreaOf (shown.getClippedImage ({ 0, 277, 800, 223 }), juce::Colours::white, background).isEmpty(),
                ! c.saysWhy)
                << "a message under the picture";
            EXPECT_EQ (Close (app, *window), std::optional<int> (0));
        }
        EXPECT_EQ (ReadFile (Settings()), handWritten ("DEVICESETUP"));
    }
}

// An instrument built by others may size its editor's window itself, knowing nothing of
// display scales, and change that size later: the window shows it whole under the
// toolbar, and follows it.
TEST_F (EndToEnd, ShowsAnEditorThatSizesItsOwnWindowWholeAndFollowsIt)
{
    ReplaceInstrumentWith ("Windowed");

    auto& app = Launch();
    const auto window = WaitForMainWindow (app);
    ASSERT_TRUE (window.has_value());
    const juce::Colour editor (0xff3366cc);

    // Its first size, then the larger one that it takes by itself when clicked.
    for (const juce::Rectangle<int> size : { juce::Rectangle<int> (300, 200), juce::Rectangle<int> (360, 240) })
    {
        SCOPED_TRACE (size.toString());
        EXPECT_TRUE (display
                         .WaitForWindow (app.GetPid(), 5000 * slowness,
                                         [&] (auto id) {
                                             return id == *window
                                                    && display.GetGeometry (id).withZeroOrigin()
                                                           == size.withHeight (32 + size.getHeight());
                                         })
                         .has_value())
            << "the window is the toolbar and the editor";
        const auto shown = display.Screenshot (*window, "editor-sized-by-its-plug-in");
        EXPECT_EQ (shown.getPixelAt (0, 32), editor) << "the editor starts under the toolbar";
        EXPECT_EQ (shown.getPixelAt (size.getWidth() - 1, 32 + size.getHeight() - 1), editor) << "and fills its place";
        display.Click (*window, { size.getWidth() / 2, 32 + size.getHeight() / 2 });
    }
    EXPECT_EQ (Close (app, *window), std::optional<int> (0));
}

// The plug-in runs its editor only in the host's idle calls, each of which also wakes the
// plug-in's own threads: they come on every refresh under the pointer and often while the
// editor draws, but only a few times a second once it shows nothing new.
TEST_F (EndToEnd, RunsTheEditorOftenOnlyUnderThePointerOrWhileItDraws)
{
    ReplaceInstrumentWith ("Windowed");
    const auto idleCalls = folder / "idle-calls";

    auto& app = Launch ({ { "ORVO_EDITOR_IDLE_RECORD", idleCalls.getFullPathName().toStdString() } });
    const auto window = WaitForMainWindow (app);
    ASSERT_TRUE (window.has_value());
    const auto callsOver = [&] (int milliseconds)
    {
        const auto before = idleCalls.getSize();
        juce::Thread::sleep (milliseconds);
        return idleCalls.getSize() - before;
    };
    // Leaving the editor, as any change to it, counts as showing something new for a second.
    const auto awayFromTheEditor = [&]
    {
        display.MovePointer ({ 0, 0 });
        juce::Thread::sleep (1500);
    };
    const auto editorCentre = juce::Point<int> (150, 32 + 100);

    awayFromTheEditor();
    const auto atRest = callsOver (2000);
    EXPECT_GE (atRest, 2) << "at rest, it still runs";
    EXPECT_LE (atRest, 12) << "but only a few times a second";

    display.MovePointer (display.GetGeometry (*window).getPosition() + editorCentre);
    EXPECT_GE (callsOver (2000), 24) << "under the pointer";

    display.Click (*window, editorCentre);  // from then on it draws in every call
    awayFromTheEditor();
    EXPECT_GE (callsOver (2000), 24) << "while it draws";

    EXPECT_EQ (Close (app, *window), std::optional<int> (0));
}

// Whatever lies where the settings file belongs, the user sees the instrument in one fixed window,
// played through the default device; a second copy ends at once, and the app quits normally on close.
TEST_F (EndToEnd, KeepsTheDeviceStateAsTheTableSaysInOneWindowThatQuitsOnClose)
{
    struct Case
    {
        const char* description;
        std::function<void()> before, whileRunning;
        std::function<bool()> keptAsItWas;
        std::optional<std::string> after {};
    };
    const auto random = []
    {
        std::string bytes (1 << 20, 0);
        for (auto& b : bytes)
            b = (char) juce::Random::getSystemRandom().nextInt (256);
        return bytes;
    }();
    const auto write = [this] (std::string bytes)
    {
        return [this, bytes]
        {
            WriteFile (Settings(), bytes);
        };
    };
    const auto keepsFolder = [this]
    {
        return Settings().isDirectory() && ReadFile (Settings().getChildFile ("kept.txt")) == "the user's";
    };
    const auto folderInstead = [this]
    {
        Settings().deleteFile();
        WriteFile (Settings().getChildFile ("kept.txt"), "the user's");
    };
    const auto midi = R"(<MIDIINPUT name="Stage Keys" identifier="gone-1"/>)"
                      "\n"
                      R"(<MIDIINPUT name="Pads &amp; Knobs" identifier="gone-2"/>)"
                      "\n";
    const auto noDevice =
        "<?xml version=\"1.0\"?>\n"
        "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"\" audioInputDeviceName=\"\"/>\n";

    const Case cases[] {
        { "none at the first start: the keyboard connected is enabled, and written", [] {}, {}, {}, written },
        { "a state without MIDI inputs: used, and rewritten with the keyboard connected",
          write (handWritten ("DEVICESETUP")),
          {},
          {},
          written },
        { "a state naming the keyboard connected: its bytes are kept", write (written), {}, {}, written },
        { "a state in other letter case, whose MIDI inputs are not connected: the keyboard comes first, and they are "
          "kept in their order",
          write (handWritten ("devicesetup", midi)),
          {},
          {},
          header + jackDevice + "\r\n             audioDeviceRate=\"48000.0\">\r\n  " + keyboardInput
              + "\r\n"
                "  <MIDIINPUT name=\"Stage Keys\" identifier=\"gone-1\"/>\r\n"
                "  <MIDIINPUT name=\"Pads &amp; Knobs\" identifier=\"gone-2\"/>\r\n</DEVICESETUP>\r\n" },
        { "a state naming no output device: the default one opens, and is named once the keyboard is enabled",
          write (noDevice),
          {},
          {},
          written },
        { "another root element: replaced by the state", write (handWritten ("PREFERENCES")), {}, {}, written },
        { "a state cut short inside its start tag: replaced",
          write ("<?xml version=\"1.0\"?>\n<DEVICESETUP deviceType=\"JACK\""),
          {},
          {},
          written },
        { "a megabyte of random bytes: replaced", write (random), {}, {}, written },
        { "a named pipe: not read, and replaced",
          [this]
          {
              Settings().getParentDirectory().createDirectory();
              ::mkfifo (Settings().getFullPathName().toRawUTF8(), 0644);
          },
          {},
          {},
          written },
        { "a folder", folderInstead, {}, keepsFolder },
        { "a folder put in the place of a state while the app runs, which no file can replace",
          write (handWritten ("DEVICESETUP")), folderInstead, keepsFolder },
        { "a link into a folder that is gone",
          [this]
          {
              Settings().getParentDirectory().createDirectory();
              Home().getChildFile ("gone/Settings.xml").createSymbolicLink (Settings(), true);
          },
          {},
          [this]
          {
              return Settings().isSymbolicLink() && ! Home().getChildFile ("gone").exists();
          } },
        { "a link to a state elsewhere: it stays a link, and the state goes to that file",
          [this]
          {
              WriteFile (Home().getChildFile ("elsewhere.xml"), handWritten ("DEVICESETUP"));
              Settings().getParentDirectory().createDirectory();
              Home().getChildFile ("elsewhere.xml").createSymbolicLink (Settings(), true);
          },
          {},
          [this]
          {
              return Settings().isSymbolicLink() && ReadFile (Home().getChildFile ("elsewhere.xml")) == written;
          } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.description);
        Home().getChildFile (".config").deleteRecursively (false);
        c.before();

        auto& app = Launch();
        const auto window = WaitForMainWindow (app);
        ASSERT_TRUE (window.has_value());
        EXPECT_EQ (display.GetGeometry (*window).getWidth(), 600) << "the instrument shows";
        EXPECT_TRUE (&c != cases || Launch().WaitForExit (10000 * slowness) == std::optional<int> (0))
            << "a second copy ends at once";
        if (c.whileRunning)
            c.whileRunning();
        EXPECT_EQ (Close (app, *window), std::optional<int> (0));

        EXPECT_EQ (c.after.has_value() ? ReadFile (Settings()) : "",
                   c.after.value_or (""));  // the exact bytes, when the file is one
        EXPECT_TRUE (c.after.has_value() || c.keptAsItWas());
        EXPECT_EQ (Settings().getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1)
            << "no temporary file is left";
    }
}

TEST_F (EndToEnd, AKillAtAnyMomentOfTheExitLeavesTheOldStateOrTheWholeNewOne)
{
    const auto seed = std::random_device {}();
    std::mt19937 random (seed);

    // The save comes first in the tear-down and is over within a few milliseconds.
    for (int run = 0; run < 12; ++run)
    {
        const auto old = handWritten ("DEVICESETUP", "<!-- run " + std::to_string (run) + " -->\n");
        WriteFile (Settings(), old);

        auto& app = Launch();
        const auto window = WaitForMainWindow (app);
        ASSERT_TRUE (window.has_value());
        display.SendCloseRequest (*window);
        std::this_thread::sleep_for (std::chrono::microseconds (std::uniform_int_distribution<int> (0, 3000) (random)));
        app.Kill (SIGKILL);
        ASSERT_TRUE (app.WaitForExit (10000 * slowness).has_value());

        const auto found = ReadFile (Settings());
        EXPECT_TRUE (found == old || found == written) << "seed " << seed << ", run " << run << " left:\n" << found;
        launched.clear();
    }
}

// The road a person takes: the toolbar, the settings, the on-screen keyboard and the
// start-up MIDI check, by clicks and keys, heard on the outputs of the JACK server.
class UserRoad : public AppUnderTest
{
protected:
    static constexpr int toolbar = 32, keyboard = 60, editorWidth = 600, editorHeight = 400;

    auto WaitForWindowSized (AppProcess& app, int height)
    {
        return display.WaitForWindow (
            app.GetPid(), 20000 * slowness,
            [this, height] (auto id)
            { return display.GetGeometry (id).withZeroOrigin() == juce::Rectangle<int> (editorWidth, height); });
    }
    auto WaitForWindowTitled (AppProcess& app, const std::string& title)
    {
        return display.WaitForWindow (app.GetPid(), 10000 * slowness,
                                      [this, &title] (auto id) { return display.GetTitle (id) == title; });
    }
    // The framework shows the dialog two pixels wider for a moment, before the app gives the panel its width back.
    auto WaitForSettings (AppProcess& app)
    {
        return display.WaitForWindow (app.GetPid(), 10000 * slowness,
                                      [this] (auto id) {
                                          return display.GetTitle (id) == "Settings"
                                                 && display.GetGeometry (id).getWidth() == 800;
                                      });
    }
    bool WaitUntil (AppProcess& app, std::function<bool()> condition)
    {
        return display.WaitForWindow (app.GetPid(), 5000 * slowness, [&condition] (auto) { return condition(); })
            .has_value();
    }

    // The toolbar's items from the right: spacer, Settings, spacer, bar, spacer, keyboard.
    void ClickSettings (X11Display::WindowId window) { display.Click (window, { editorWidth - 28, toolbar / 2 }); }
    void ClickKeyboard (X11Display::WindowId window) { display.Click (window, { editorWidth - 87, toolbar / 2 }); }

    /** The loudest sample on the app's outputs while the action runs. A copy killed just before may still hold
        the client name "OrvoHost" for a moment: the app's is the newest that starts so ("OrvoHost-01", say). */
    float PeakWhile (const std::function<void()>& action)
    {
        std::string client = "OrvoHost";
        if (auto* ports = ::popen ("jack_lsp 2>/dev/null", "r"))
        {
            for (char line[256]; std::fgets (line, sizeof (line), ports) != nullptr;)
                if (const juce::String port (juce::String (line).trim());
                    port.startsWith ("OrvoHost") && port.endsWith (":out_1"))
                    client = port.upToFirstOccurrenceOf (":", false, false).toStdString();
            ::pclose (ports);
        }
        const auto wav = Home().getChildFile ("out.wav");
        wav.deleteFile();  // a recording left from before would pass for this one's
        AppProcess recorder (
            juce::File ("/usr/bin/jack_rec"), {},
            { "-f", wav.getFullPathName().toStdString(), "-d", "3", client + ":out_1", client + ":out_2" });
        // Sound reaches the file once the recorder runs: its header alone is 44 bytes.
        for (int waited = 0; wav.getSize() <= 44 && waited < 5000 * slowness; waited += 10)
            juce::Thread::sleep (10);
        action();
        EXPECT_EQ (recorder.WaitForExit (10000 * slowness), std::optional<int> (0));

        std::unique_ptr<juce::AudioFormatReader> reader (
            juce::WavAudioFormat().createReaderFor (wav.createInputStream().release(), true));
        juce::Range<float> levels[2];
        if (reader != nullptr)
            reader->readMaxLevels (0, reader->lengthInSamples, levels, 2);
        return juce::jmax (levels[0].getEnd(), -levels[0].getStart(), levels[1].getEnd(), -levels[1].getStart());
    }

    /** A note held on the stand-in keyboard, for as long as the sound is recorded. */
    float PeakOfANote()
    {
        const auto pipe = ::open (MidiNotes().getFullPathName().toRawUTF8(), O_WRONLY | O_NONBLOCK);
        const auto peak = PeakWhile (
            [pipe]
            {
                EXPECT_EQ (::write (pipe, "\x90\x3c\x64", 3), 3);
                juce::Thread::sleep (800);
                EXPECT_EQ (::write (pipe, "\x80\x3c\x00", 3), 3);
            });
        ::close (pipe);
        return peak;
    }

    /** A logout: the app ends cleanly and has written the input chosen. */
    void LogOut (AppProcess& app)
    {
        app.Kill (SIGTERM);
        EXPECT_EQ (app.WaitForExit (10000 * slowness), std::optional<int> (0));
        EXPECT_NE (ReadFile (Settings()).find ("<MIDIINPUT name=\"Stand-in Keyboard\""), std::string::npos)
            << ReadFile (Settings());
    }

    int Connections() const { return juce::StringArray::fromLines (MidiLog().loadFileAsString().trim()).size(); }

    bool ShowsTheMidiAlert (AppProcess& app)
    {
        const auto windows = display.FindWindows (app.GetPid());
        return std::any_of (windows.begin(), windows.end(),
                            [this] (auto id) { return display.GetTitle (id) == "Missing MIDI Device"; });
    }

    /** The keyboard is enabled (the log then counts that many connections) and plays; three seconds on,
        the start-up check has come and gone without its alert. Then the window is closed. */
    void PlaysTheKeyboardWithoutTheAlert (AppProcess& app, X11Display::WindowId window, int connections)
    {
        EXPECT_TRUE (WaitUntil (app, [this, connections] { return Connections() == connections; })) << "enabled";
        EXPECT_GT (PeakOfANote(), 0.01f);
        EXPECT_FALSE (ShowsTheMidiAlert (app));
        EXPECT_EQ (Close (app, window), std::optional<int> (0));
    }
};

// The missing keyboard's alert ends with Return, a keyboard plugged in, the close button or a logout.
// The keyboard plugged in plays at once and is kept: the next start plays it without the alert.
TEST_F (UserRoad, AFirstRunWarnsOfTheMissingKeyboardAndPlaysFromTheOnScreenOne)
{
    enum class Ending
    {
        returnKey,
        keyboardPluggedIn,
        closeButton,
        logout
    };
    for (const auto ending : { Ending::returnKey, Ending::keyboardPluggedIn, Ending::closeButton, Ending::logout })
    {
        SCOPED_TRACE ((int) ending);
        Home().getChildFile (".config").deleteRecursively (false);
        MidiLog().deleteFile();
        WriteFile (MidiInputs(), "");
        auto& app = Launch();
        const auto window = WaitForWindowSized (app, toolbar + editorHeight);
        ASSERT_TRUE (window.has_value()) << app.GetStandardError();
        const auto alert = WaitForWindowTitled (app, "Missing MIDI Device");
        ASSERT_TRUE (alert.has_value()) << "the start-up MIDI check shows its alert";

        if (ending == Ending::returnKey)
        {
            EXPECT_EQ (display.Screenshot (*window, "first-run").getPixelAt (4, toolbar + 4), juce::Colour (0xff15171c))
                << "the editor, under the toolbar";
            display.PressKey (*alert, "Return");
            EXPECT_TRUE (WaitUntil (app, [&] { return display.FindWindows (app.GetPid()).size() == 1; }))
                << "the alert is gone";
            ClickKeyboard (*window);
            ASSERT_TRUE (WaitForWindowSized (app, toolbar + editorHeight + keyboard).has_value());
            const juce::Point<int> whiteKey (editorWidth / 2, toolbar + editorHeight + keyboard - 10);
            EXPECT_TRUE (WaitUntil (app,
                                    [&] {
                                        return display.Screenshot (*window, "keyboard-shown")
                                                   .getPixelAt (whiteKey.x, whiteKey.y)
                                                   .getBrightness()
                                               > 0.9f;
                                    }))
                << "the strip shows its keys";
            // Held without a move of the mouse, as a player holds a key: nothing else reaches the app
            // from the server until it is let go.
            EXPECT_GT (PeakWhile ([&] { display.Click (*window, whiteKey, 800); }), 0.01f)
                << "a key of the strip plays";
        }
        else if (ending == Ending::keyboardPluggedIn)
        {
            WriteFile (MidiInputs(), "Stand-in Keyboard\n");
            EXPECT_TRUE (WaitUntil (app, [&] { return display.FindWindows (app.GetPid()).size() == 1; }))
                << "the alert goes by itself";
            EXPECT_GT (PeakOfANote(), 0.01f) << "the keyboard plays without a trip to the settings";
        }
        ending == Ending::logout ? app.Kill (SIGTERM) : display.SendCloseRequest (*window);
        EXPECT_EQ (app.WaitForExit (10000 * slowness), std::optional<int> (0)) << app.GetStandardError();
        if (ending != Ending::keyboardPluggedIn)
        {
            EXPECT_TRUE (ReadFile (Settings()).empty()) << "without a MIDI input nothing is chosen, nor written";
            continue;
        }

        EXPECT_NE (ReadFile (Settings()).find (keyboardInput), std::string::npos) << ReadFile (Settings());
        auto& next = Launch();
        const auto nextWindow = WaitForWindowSized (next, toolbar + editorHeight);
        ASSERT_TRUE (nextWindow.has_value()) << next.GetStandardError();
        PlaysTheKeyboardWithoutTheAlert (next, *nextWindow, 2);  // enabled from the file
    }
}

// A keyboard plugged in before the start-up MIDI check spares the user the alert, as one there at the start does.
TEST_F (UserRoad, AKeyboardPluggedInBeforeTheStartUpCheckSparesTheAlert)
{
    WriteFile (MidiInputs(), "");
    auto& app = Launch();
    const auto window = WaitForWindowSized (app, toolbar + editorHeight);
    ASSERT_TRUE (window.has_value()) << app.GetStandardError();
    WriteFile (MidiInputs(), "Stand-in Keyboard\n");  // the check comes two seconds after the window
    PlaysTheKeyboardWithoutTheAlert (app, *window, 1);
}

// Both inputs are enabled at the first start; the user keeps the second one only. (The stand-in
// plays its notes on the input enabled last.)
TEST_F (UserRoad, AMidiInputChosenInTheSettingsIsPlayedKeptAtLogoutAndEnabledAtTheNextStart)
{
    WriteFile (MidiInputs(), "Stage Keys\nStand-in Keyboard\n");
    auto* app = &Launch();
    auto window = WaitForWindowSized (*app, toolbar + editorHeight);
    ASSERT_TRUE (window.has_value()) << app->GetStandardError();
    ASSERT_TRUE (WaitUntil (*app, [this] { return Connections() == 2; })) << "every input is enabled at first";

    ClickSettings (*window);
    const auto dialog = WaitForSettings (*app);
    ASSERT_TRUE (dialog.has_value()) << "an 800-wide dialog titled Settings";
    juce::Thread::sleep (500);
    display.Screenshot (*dialog, "settings");
    display.Click (*dialog, { 294, 183 });  // the first input's tick box: off
    display.PressKey (*dialog, "Escape");

    EXPECT_GT (PeakOfANote(), 0.01f) << "the instrument hears the input";
    EXPECT_FALSE (ShowsTheMidiAlert (*app)) << "with an input present no MIDI alert shows";
    LogOut (*app);
    EXPECT_EQ (ReadFile (Settings()).find ("Stage Keys"), std::string::npos) << "the input turned off stays off";

    app = &Launch();
    window = WaitForWindowSized (*app, toolbar + editorHeight);
    ASSERT_TRUE (window.has_value());
    EXPECT_TRUE (WaitUntil (*app, [this] { return Connections() == 3; })) << "the input chosen is enabled again";
    EXPECT_GT (PeakOfANote(), 0.01f);
    EXPECT_EQ (Connections(), 3) << "and it alone: the choice holds while its input is connected";

    ClickSettings (*window);
    ASSERT_TRUE (WaitForSettings (*app).has_value());  // a logout ends the app with the dialog open too
    LogOut (*app);
}
