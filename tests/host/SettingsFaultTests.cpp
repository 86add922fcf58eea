// The real app with a settings file that is not one it wrote. Whatever lies there, the
// user sees the instrument, played through the default audio device, and no message;
// the app quits normally, and what lay there is still there, byte for byte.

#include <sys/stat.h>

#include "AppUnderTest.h"

namespace
{
std::string garbage (size_t size)
{
    juce::Random random (20240517);
    std::string bytes (size, '\0');
    for (auto& byte : bytes)
        byte = (char) random.nextInt (256);
    return bytes;
}

class SettingsFault : public AppUnderTest
{
protected:
    /** Starts the app, expects the instrument in its window, closes it. */
    void RunAndClose()
    {
        auto app = Start();
        const auto window = WaitForMainWindow (*app);
        ASSERT_TRUE (window.has_value());

        EXPECT_TRUE (ShowsTheInstrument (*window));
        EXPECT_EQ (Close (*app, *window), std::optional<int> (0)) << app->GetStandardError();
        EXPECT_EQ (app->GetStandardError().find ("Failed"), std::string::npos) << app->GetStandardError();
    }

    void ExpectSettingsFolderHoldsOnly (const juce::StringArray& names)
    {
        juce::StringArray found;
        for (const auto& entry : Settings().getParentDirectory().findChildFiles (juce::File::findFilesAndDirectories, false))
            found.add (entry.getFileName());
        found.sort (false);
        EXPECT_EQ (found, names) << "no temporary file is left behind";
    }
};
}

TEST_F (SettingsFault, KeepsAFileItCannotReadByteForByte)
{
    const auto truncated = SavedDeviceState().substr (0, SavedDeviceState().size() / 2);

    struct Case
    {
        const char* description;
        std::string bytes;
    };

    for (const auto& c : { Case { "a device state cut off in the middle", truncated },
                           Case { "50 MB of random bytes", garbage (50 * 1024 * 1024) },
                           Case { "a well-formed document whose root has another name",
                                  "<?xml version=\"1.0\"?>\r\n<SETTINGS deviceType=\"JACK\"/>\r\n" } })
    {
        SCOPED_TRACE (c.description);
        WriteFile (Settings(), c.bytes);

        RunAndClose();

        EXPECT_TRUE (ReadFile (Settings()) == c.bytes);
        ExpectSettingsFolderHoldsOnly ({ "Settings.xml" });
    }
}

TEST_F (SettingsFault, LeavesAFolderInThePlaceOfTheFileAsItWas)
{
    const auto inside = Settings().getChildFile ("kept.txt");
    WriteFile (inside, "the user's own");

    RunAndClose();

    EXPECT_TRUE (Settings().isDirectory());
    EXPECT_EQ (ReadFile (inside), "the user's own");
}

TEST_F (SettingsFault, DoesNotWaitForAWriterWhenTheFileIsAPipe)
{
    Settings().getParentDirectory().createDirectory();
    ASSERT_EQ (::mkfifo (Settings().getFullPathName().toRawUTF8(), 0644), 0);

    RunAndClose();

    struct stat status {};
    ASSERT_EQ (::stat (Settings().getFullPathName().toRawUTF8(), &status), 0);
    EXPECT_TRUE (S_ISFIFO (status.st_mode));
}

TEST_F (SettingsFault, LeavesALinkToAFileInAFolderThatIsGone)
{
    const auto gone = installation.getHome().getChildFile ("gone/Settings.xml");
    Settings().getParentDirectory().createDirectory();
    ASSERT_TRUE (gone.createSymbolicLink (Settings(), true));

    RunAndClose();

    EXPECT_TRUE (Settings().isSymbolicLink());
    EXPECT_EQ (Settings().getLinkedTarget(), gone);
    EXPECT_FALSE (gone.getParentDirectory().exists());
}

TEST_F (SettingsFault, QuitsWhenTheFileCannotBeReplacedAndKeepsWhatIsThere)
{
    // A device state the app reads and so writes back at exit; before that, the user
    // puts a folder where the file was, which no file can replace.
    WriteFile (Settings(), SavedDeviceState());

    auto app = Start();
    const auto window = WaitForMainWindow (*app);
    ASSERT_TRUE (window.has_value());
    EXPECT_TRUE (ShowsTheInstrument (*window));

    ASSERT_TRUE (Settings().deleteFile());
    const auto inside = Settings().getChildFile ("kept.txt");
    WriteFile (inside, "the user's own");

    EXPECT_EQ (Close (*app, *window), std::optional<int> (0)) << app->GetStandardError();
    EXPECT_EQ (ReadFile (inside), "the user's own");
    ExpectSettingsFolderHoldsOnly ({ "Settings.xml" });
}
