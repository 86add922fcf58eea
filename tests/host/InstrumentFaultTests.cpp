// The real app with its instrument broken in the ways an installation can break. The
// user sees the window without the instrument (the picture, 800 x 500), or, when the
// instrument crashes on loading, the app goes down with it, as it loads plug-ins in its
// own process. The saved device state is never touched: only an exit with a loaded
// instrument writes it.

#include "AppUnderTest.h"
#include "FormatHost.h"

namespace
{
class InstrumentFault : public AppUnderTest
{
protected:
    void SetUp() override
    {
        AppUnderTest::SetUp();
        if (IsSkipped())
            return;

        Bundle().deleteFile();  // the shipped instrument, which each test replaces
        WriteFile (Settings(), SavedDeviceState());
    }

    juce::File Bundle() const { return installation.getResources().getChildFile ("Tarnwell App.vst"); }
    juce::File SharedObject() const { return Bundle().getChildFile ("Contents/x86_64-linux/Tarnwell App.so"); }

    void ExpectTheWindowWithoutTheInstrument (const juce::String& screenshotName)
    {
        auto app = Start();
        const auto window = WaitForMainWindow (*app);
        ASSERT_TRUE (window.has_value());

        const auto size = display.GetGeometry (*window);
        EXPECT_EQ (size.getWidth(), widthWithoutInstrument);
        EXPECT_EQ (size.getHeight(), heightWithoutInstrument);
        juce::Thread::sleep (500);  // let it paint
        display.SaveScreenshot (*window, GetTestOutputFolder().getChildFile (screenshotName));

        EXPECT_EQ (Close (*app, *window), std::optional<int> (0)) << app->GetStandardError();
        EXPECT_EQ (ReadFile (Settings()), SavedDeviceState());
    }
};
}

TEST_F (InstrumentFault, AFileInThePlaceOfTheBundleShowsTheWindowWithoutTheInstrument)
{
    WriteFile (Bundle(), "not a bundle");
    ExpectTheWindowWithoutTheInstrument ("instrument-a-file.png");
}

TEST_F (InstrumentFault, AnEmptyBundleShowsTheWindowWithoutTheInstrument)
{
    ASSERT_TRUE (Bundle().createDirectory());
    ExpectTheWindowWithoutTheInstrument ("instrument-an-empty-bundle.png");
}

TEST_F (InstrumentFault, ABundleWhoseLibraryIsGarbageShowsTheWindowWithoutTheInstrument)
{
    WriteFile (SharedObject(), ReadFile (GetTestPluginBundle ("Garbage").getChildFile ("Contents/x86_64-linux/Garbage.so")));
    ExpectTheWindowWithoutTheInstrument ("instrument-garbage.png");
}

TEST_F (InstrumentFault, AnInstrumentThatCrashesTakesTheAppDownAndTheSavedStateSurvives)
{
    SharedObject().getParentDirectory().createDirectory();
    ASSERT_TRUE (GetTestPluginBundle ("Crashing").getChildFile ("Contents/x86_64-linux/Crashing.so")
                     .createSymbolicLink (SharedObject(), true));

    auto app = Start();
    const auto exit = app->WaitForExit (20000);

    ASSERT_TRUE (exit.has_value()) << "the app died";
    EXPECT_NE (*exit, 0);
    EXPECT_EQ (ReadFile (Settings()), SavedDeviceState());
}
