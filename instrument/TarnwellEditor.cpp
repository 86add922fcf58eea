#include "TarnwellEditor.h"

#include "TarnwellColours.h"
#include "TarnwellProcessor.h"

namespace
{
using namespace TarnwellColours;

constexpr int headerHeight = 64;
constexpr int margin = 12;
}

TarnwellEditor::TarnwellEditor (TarnwellProcessor& instrument)
    : AudioProcessorEditor (instrument)
{
    auto& state = instrument.GetState();
    const std::array<std::pair<const char*, const char*>, 10> controls { {
        { TarnwellParameters::wave, "WAVE" },
        { TarnwellParameters::detune, "DETUNE" },
        { TarnwellParameters::cutoff, "CUTOFF" },
        { TarnwellParameters::resonance, "RESONANCE" },
        { TarnwellParameters::envelopeAmount, "ENV AMOUNT" },
        { TarnwellParameters::attack, "ATTACK" },
        { TarnwellParameters::decay, "DECAY" },
        { TarnwellParameters::sustain, "SUSTAIN" },
        { TarnwellParameters::release, "RELEASE" },
        { TarnwellParameters::level, "LEVEL" },
    } };

    for (size_t i = 0; i < controls.size(); ++i)
    {
        knobs[i] = std::make_unique<LabelledKnob> (state, controls[i].first, controls[i].second);
        addAndMakeVisible (*knobs[i]);
    }

    sections = { { { "OSCILLATOR", {} }, { "FILTER", {} }, { "ENVELOPE", {} }, { "OUTPUT", {} } } };
    setSize (width, height);
}

void TarnwellEditor::paint (juce::Graphics& g)
{
    g.fillAll (background);

    auto header = getLocalBounds().removeFromTop (headerHeight).reduced (margin + 4, 0);
    g.setColour (text);
    g.setFont (juce::Font (26.0f, juce::Font::bold));
    g.drawText ("Tarnwell", header, juce::Justification::centredLeft);
    g.setColour (accent);
    g.setFont (juce::Font (13.0f));
    g.drawText ("CALVERA", header, juce::Justification::centredRight);

    for (const auto& section : sections)
    {
        g.setColour (panel);
        g.fillRoundedRectangle (section.bounds.toFloat(), 8.0f);
        g.setColour (accent);
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        g.drawText (section.title, section.bounds.reduced (12, 6).removeFromTop (16), juce::Justification::topLeft);
    }
}

void TarnwellEditor::resized()
{
    auto area = getLocalBounds().reduced (margin);
    area.removeFromTop (headerHeight - margin);

    auto topRow = area.removeFromTop ((area.getHeight() - margin) / 2);
    area.removeFromTop (margin);
    auto bottomRow = area;

    const auto knobWidth = (topRow.getWidth() - margin) / 5;
    sections[0].bounds = topRow.removeFromLeft (2 * knobWidth);
    topRow.removeFromLeft (margin);
    sections[1].bounds = topRow;
    sections[2].bounds = bottomRow.removeFromLeft (4 * knobWidth);
    bottomRow.removeFromLeft (margin);
    sections[3].bounds = bottomRow;

    const std::array<int, 4> knobsPerSection { 2, 3, 4, 1 };
    size_t next = 0;

    for (size_t s = 0; s < sections.size(); ++s)
    {
        auto inner = sections[s].bounds.reduced (6, 8).withTrimmedTop (18);
        const auto each = inner.getWidth() / knobsPerSection[s];

        for (int k = 0; k < knobsPerSection[s]; ++k)
            knobs[next++]->setBounds (inner.removeFromLeft (each).reduced (2));
    }
}
