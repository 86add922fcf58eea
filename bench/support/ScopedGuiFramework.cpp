#include "ScopedGuiFramework.h"

ScopedGuiFramework::ScopedGuiFramework() = default;

juce::JUCEApplicationBase* ScopedGuiFramework::NoApplication()
{
    return nullptr;
}

bool ScopedGuiFramework::RegisterNoApplication()
{
    juce::JUCEApplicationBase::createInstance = &NoApplication;
    return true;
}
