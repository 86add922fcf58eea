#include "LabelledKnob.h"

LabelledKnob::LabelledKnob (juce::AudioProcessorValueTreeState& state, const juce::String& parameterId,
                            const juce::String& titleText)
    : title ({}, titleText),
      attachment (state, parameterId, knob)
{
    title.setJustificationType (juce::Justification::centred);
    title.setFont (juce::Font (13.0f, juce::Font::bold));
    knob.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 72, 18);
    knob.setNumDecimalPlacesToDisplay (2);
    addAndMakeVisible (title);
    addAndMakeVisible (knob);
}

void LabelledKnob::resized()
{
    auto area = getLocalBounds();
    title.setBounds (area.removeFromTop (18));
    knob.setBounds (area);
}
