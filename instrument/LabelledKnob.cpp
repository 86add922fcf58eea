#include "LabelledKnob.h"

#include "TarnwellColours.h"

LabelledKnob::LabelledKnob (juce::AudioProcessorValueTreeState& state, const juce::String& parameterId,
                            const juce::String& titleText)
    : title ({}, titleText),
      attachment (state, parameterId, knob)
{
    title.setJustificationType (juce::Justification::centred);
    title.setFont (juce::Font (13.0f, juce::Font::bold));
    title.setColour (juce::Label::textColourId, TarnwellColours::dimText);

    knob.setColour (juce::Slider::rotarySliderFillColourId, TarnwellColours::accent);
    knob.setColour (juce::Slider::rotarySliderOutlineColourId, TarnwellColours::track);
    knob.setColour (juce::Slider::thumbColourId, TarnwellColours::text);
    knob.setColour (juce::Slider::textBoxTextColourId, TarnwellColours::text);
    knob.setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    knob.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colours::transparentBlack);
    knob.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 80, 18);
    addAndMakeVisible (title);
    addAndMakeVisible (knob);
}

void LabelledKnob::resized()
{
    auto area = getLocalBounds();
    title.setBounds (area.removeFromTop (18));
    knob.setBounds (area);
}
