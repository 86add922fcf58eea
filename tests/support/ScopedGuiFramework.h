#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The framework's GUI, set up for a program that is no JUCEApplication, for as long as
    this object lives. The framework sets up its X11 error handling only for standalone
    applications, which it recognises by a registered application factory; without one a
    real window on the display ends the process with a BadAtom error. So a factory that
    makes nothing is registered first. */
class ScopedGuiFramework
{
    const bool registered = (juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return nullptr; }, true);
    juce::ScopedJuceInitialiser_GUI framework;
};
