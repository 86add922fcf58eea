#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "FormatHost.h"
#include "TemporaryFolder.h"
#include "X11Display.h"

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 256;
constexpr int a4 = 69;

/** The fundamental of a steady periodic signal, from the first strong peak of its
    autocorrelation, refined between lags by a parabola.
*/
double MeasureFundamental (const std::vector<float>& signal, double rate)
{
    const auto minimumLag = (int) (rate / 2000.0);
    const auto maximumLag = (int) (rate / 50.0);
    const auto length = (int) signal.size() - maximumLag - 1;

    const auto correlation = [&] (int lag)
    {
        double sum = 0.0;
        for (int i = 0; i < length; ++i)
            sum += (double) signal[(size_t) i] * (double) signal[(size_t) (i + lag)];
        return sum;
    };

    std::vector<double> values ((size_t) maximumLag + 2);
    for (int lag = 0; lag <= maximumLag + 1; ++lag)
        values[(size_t) lag] = correlation (lag);

    // The first lag past the first dip whose correlation comes close to that at lag 0.
    auto lag = minimumLag;
    while (lag < maximumLag && values[(size_t) lag] > 0.0)
        ++lag;
    while (lag < maximumLag && values[(size_t) lag] < 0.8 * values[0])
        ++lag;
    while (lag < maximumLag && values[(size_t) lag + 1] > values[(size_t) lag])
        ++lag;

    const auto before = values[(size_t) lag - 1], peak = values[(size_t) lag], after = values[(size_t) lag + 1];
    const auto offset = 0.5 * (before - after) / (before - 2.0 * peak + after);
    return rate / (lag + offset);
}

struct Rendered
{
    std::vector<float> left, right;

    float PeakFrom (size_t start) const
    {
        float peak = 0.0f;
        for (auto i = start; i < left.size(); ++i)
            peak = std::max ({ peak, std::abs (left[i]), std::abs (right[i]) });
        return peak;
    }

    bool AllFinite() const
    {
        for (size_t i = 0; i < left.size(); ++i)
            if (! std::isfinite (left[i]) || ! std::isfinite (right[i]))
                return false;
        return true;
    }
};

class HostedInstrument : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ (host.Scan (GetInstrumentBundle().getFullPathName()), 1);
        juce::String error;
        instance = host.InstantiateFirst (sampleRate, blockSize, error);
        ASSERT_NE (instance, nullptr) << error;
        instance->prepareToPlay (sampleRate, blockSize);
    }

    void TearDown() override
    {
        if (instance != nullptr)
            instance->releaseResources();
    }

    /** Runs the instance for a number of blocks as the host's audio callback does: a
        cleared stereo buffer each time, with the MIDI that falls in the block.
    */
    void Play (Rendered& output, int numBlocks, const juce::MidiMessage& atStart)
    {
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;

        for (int block = 0; block < numBlocks; ++block)
        {
            buffer.clear();
            midi.clear();
            if (block == 0)
                midi.addEvent (atStart, 0);

            instance->processBlock (buffer, midi);

            output.left.insert (output.left.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + blockSize);
            output.right.insert (output.right.end(), buffer.getReadPointer (1), buffer.getReadPointer (1) + blockSize);
        }
    }

    static int BlocksFor (double seconds) { return (int) std::ceil (seconds * sampleRate / blockSize); }

    FormatHost host;
    std::unique_ptr<juce::AudioPluginInstance> instance;
};
}

TEST_F (HostedInstrument, IsDescribedOnceAsTheVstInstrumentInsideTheBundle)
{
    const auto& description = *host.GetDescriptions().getFirst();

    EXPECT_EQ (description.pluginFormatName, "VST");
    EXPECT_EQ (description.name, "Tarnwell App");
    EXPECT_EQ (description.manufacturerName, "Calvera");
    EXPECT_TRUE (description.isInstrument);
    EXPECT_EQ (description.numInputChannels, 0);
    EXPECT_EQ (description.numOutputChannels, 2);
    EXPECT_EQ (instance->getTotalNumOutputChannels(), 2);
    EXPECT_EQ (juce::File (description.fileOrIdentifier),
               GetInstrumentBundle().getChildFile ("Contents/x86_64-linux/Tarnwell App.so"));
}

TEST_F (HostedInstrument, PlaysA4At440HertzOnBothChannels)
{
    Rendered output;
    Play (output, BlocksFor (0.6), juce::MidiMessage::noteOn (1, a4, (juce::uint8) 100));

    ASSERT_TRUE (output.AllFinite());
    const auto steadyStart = (size_t) (0.3 * sampleRate);
    const std::vector<float> left (output.left.begin() + (long) steadyStart, output.left.end());
    const std::vector<float> right (output.right.begin() + (long) steadyStart, output.right.end());

    EXPECT_GT (output.PeakFrom (steadyStart), 0.01f);
    EXPECT_NEAR (MeasureFundamental (left, sampleRate), 440.0, 4.4);
    EXPECT_NEAR (MeasureFundamental (right, sampleRate), 440.0, 4.4);
    EXPECT_LE (output.PeakFrom (0), 1.0f);
}

TEST_F (HostedInstrument, DecaysToSilenceAfterNoteOff)
{
    Rendered output;
    Play (output, BlocksFor (0.3), juce::MidiMessage::noteOn (1, a4, (juce::uint8) 100));
    ASSERT_GT (output.PeakFrom (0), 0.01f);

    const auto releaseStart = output.left.size();
    Play (output, BlocksFor (6.0), juce::MidiMessage::noteOff (1, a4));

    ASSERT_TRUE (output.AllFinite());
    EXPECT_LT (output.PeakFrom (releaseStart + (size_t) (0.1 * sampleRate)), output.PeakFrom (0));
    EXPECT_EQ (output.PeakFrom (output.left.size() - blockSize), 0.0f);
}

TEST_F (HostedInstrument, MakesAnEditorOfItsOwnFixedSizeThatGoesBeforeTheInstance)
{
    ASSERT_TRUE (instance->hasEditor());
    std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditor());

    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (editor->getWidth(), 600);
    EXPECT_EQ (editor->getHeight(), 400);

    editor.reset();
    instance->releaseResources();
    instance.reset();
}

TEST_F (HostedInstrument, PaintsItsEditorInAWindowOfTheHost)
{
    std::unique_ptr<juce::AudioProcessorEditor> editor (instance->createEditor());
    ASSERT_NE (editor, nullptr);

    editor->addToDesktop (0);
    editor->setVisible (true);

    X11Display display;
    ASSERT_TRUE (display.IsOpen());
    const auto window = (X11Display::WindowId) (juce::pointer_sized_uint) editor->getWindowHandle();
    const auto screenshot = GetTestOutputFolder().getChildFile ("TarnwellEditor.png");

    // The instrument paints from its own thread: look until its dark background shows
    // around its title, rather than an empty host window.
    juce::Image image;
    for (int attempt = 0; attempt < 40; ++attempt)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil (250);
        ASSERT_TRUE (display.SaveScreenshot (window, screenshot));
        image = juce::ImageFileFormat::loadFrom (screenshot);
        if (image.isValid() && (image.getPixelAt (4, 4).getARGB() & 0xffffffu) == 0x15171cu)
            break;
    }

    ASSERT_TRUE (image.isValid());
    EXPECT_EQ (image.getWidth(), 600);
    EXPECT_EQ (image.getHeight(), 400);
    EXPECT_EQ (image.getPixelAt (4, 4).getARGB() & 0xffffffu, 0x15171cu);

    editor.reset();
}
