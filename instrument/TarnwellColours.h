#pragma once

#include <juce_graphics/juce_graphics.h>

/** The instrument panel's palette: light text and an amber accent on near-black. */
namespace TarnwellColours
{
inline const juce::Colour background { 0xff15171c };
inline const juce::Colour panel { 0xff22262e };
inline const juce::Colour track { 0xff3a404b };
inline const juce::Colour accent { 0xffe8a33d };
inline const juce::Colour text { 0xffd8dce3 };
inline const juce::Colour dimText { 0xff8a919c };
}
