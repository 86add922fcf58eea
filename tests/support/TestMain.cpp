#include <gtest/gtest.h>

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
juce::JUCEApplicationBase* noApplication()
{
    return nullptr;
}
}

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // The framework sets up its X11 error handling only for standalone applications,
    // which it recognises by a registered application factory; without one a real
    // window under the test display ends the process with a BadAtom error.
    juce::JUCEApplicationBase::createInstance = &noApplication;
    juce::ScopedJuceInitialiser_GUI framework;

    return RUN_ALL_TESTS();
}
