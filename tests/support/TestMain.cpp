#include <gtest/gtest.h>

#include "FormatHost.h"
#include "ScopedGuiFramework.h"

/** Fails the running test at any framework assertion, which a build without NDEBUG logs through here;
    those that fire after the tests (leaks at exit) reach the standard error stream, which ctest checks. */
struct AssertionsFailTests final : juce::Logger
{
    void logMessage (const juce::String& message) override
    {
        if (toleratedAssertion != nullptr && message.endsWith (toleratedAssertion))
            std::cerr << "tolerated: " << message.fromFirstOccurrenceOf (" in ", false, false) << std::endl;
        else if (message.startsWith ("JUCE Assertion failure"))
            ADD_FAILURE() << message;
        else
            std::cerr << message << std::endl;
    }
};

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    ScopedGuiFramework framework;
    AssertionsFailTests logger;
    juce::Logger::setCurrentLogger (&logger);
    const auto result = RUN_ALL_TESTS();
    juce::Logger::setCurrentLogger (nullptr);
    return result;
}
