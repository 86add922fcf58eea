#include "AppUnderTest.h"

#include "FormatHost.h"

#include <unistd.h>

void AppUnderTest::SetUp()
{
    if (! display.IsOpen())
        GTEST_SKIP() << "no display: scripts/test starts one";

    const auto name = "Tarnwell App " + std::to_string (::getpid());
    installation.WriteConfig (R"({"synth": {"name": ")" + name + R"(", "filePath": "Tarnwell App.vst"}})");
    installation.AddShippedResource ("Tarnwell App.vst");
    installation.AddShippedResource ("error.png");
}

std::unique_ptr<AppProcess> AppUnderTest::Start (const std::vector<std::pair<std::string, std::string>>& environment)
{
    auto variables = environment;
    variables.emplace_back ("HOME", installation.getHome().getFullPathName().toStdString());
    return std::make_unique<AppProcess> (installation.getExecutable(), variables);
}

std::optional<X11Display::WindowId> AppUnderTest::WaitForMainWindow (AppProcess& app)
{
    const auto editor = InstrumentEditorSize();
    const auto window = display.WaitForWindow (app.GetPid(), 20000, [this, editor] (X11Display::WindowId id)
    {
        const auto size = display.GetGeometry (id);
        return (size.getWidth() == editor.getWidth() && size.getHeight() == editor.getHeight())
            || (size.getWidth() == widthWithoutInstrument && size.getHeight() == heightWithoutInstrument);
    });

    EXPECT_TRUE (window.has_value()) << "no window; the app wrote:\n" << app.GetStandardError();
    return window;
}

std::optional<int> AppUnderTest::Close (AppProcess& app, X11Display::WindowId window, int timeoutMilliseconds)
{
    display.SendCloseRequest (window);
    return display.WaitForExit (app, window, timeoutMilliseconds);
}

bool AppUnderTest::ShowsTheInstrument (X11Display::WindowId window)
{
    const auto size = display.GetGeometry (window);
    return size.getWidth() == InstrumentEditorSize().getWidth() && size.getHeight() == InstrumentEditorSize().getHeight();
}

std::string AppUnderTest::SavedDeviceState()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n"
           "<DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"system\"\r\n"
           "             audioDeviceRate=\"48000.0\"/>\r\n";
}

juce::Rectangle<int> InstrumentEditorSize()
{
    static const auto size = []
    {
        FormatHost host;
        host.Scan (GetInstrumentBundle().getFullPathName());
        juce::String error;
        auto instance = host.InstantiateFirst (48000.0, 256, error);
        if (instance == nullptr)
            return juce::Rectangle<int>();

        std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditor());
        return editor == nullptr ? juce::Rectangle<int>() : editor->getLocalBounds();
    }();

    return size;
}
