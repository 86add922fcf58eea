#include <juce_gui_basics/juce_gui_basics.h>

juce::JUCEApplicationBase* juce_CreateApplication();

int main (int argc, char* argv[])
{
    juce::JUCEApplicationBase::createInstance = &juce_CreateApplication;
    return juce::JUCEApplicationBase::main (argc, const_cast<const char**> (argv));
}
