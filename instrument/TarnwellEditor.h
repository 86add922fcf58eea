#pragma once

#include <array>
#include <memory>

#include <juce_audio_processors/juce_audio_processors.h>

#include "LabelledKnob.h"

class TarnwellProcessor;

/** The instrument's own panel, at a fixed size: oscillator, filter, envelope and output
    controls on a dark background.
*/
class TarnwellEditor : public juce::AudioProcessorEditor
{
public:
    static constexpr int width = 600;
    static constexpr int height = 400;

    explicit TarnwellEditor (TarnwellProcessor&);

    void paint (juce::Graphics&) override;
    void resized() override;

private:
    struct Section
    {
        juce::String title;
        juce::Rectangle<int> bounds;
    };

    std::array<Section, 4> sections;
    std::array<std::unique_ptr<LabelledKnob>, 10> knobs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TarnwellEditor)
};
