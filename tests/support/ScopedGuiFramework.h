#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The framework's GUI for a program that is no JUCEApplication, while this object lives.
    The framework sets up its X11 error handling only where an application factory is
    registered (without it a real window ends the process with a BadAtom error), so one
    that makes nothing is registered first. */
class ScopedGuiFramework
{
    const bool registered = (
        juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase* { return nullptr; },
        true);
    juce::ScopedJuceInitialiser_GUI framework;
};
