#include "MessageLoop.h"

#include <memory>

#include <juce_events/juce_events.h>

void RunPendingMessages()
{
    // Messages are dispatched in the order they were posted: once this one has run, so
    // has everything before it.
    auto reached = std::make_shared<bool> (false);
    juce::MessageManager::callAsync ([reached] { *reached = true; });
    RunMessagesUntil ([reached] { return *reached; });
}

bool RunMessagesUntil (const std::function<bool()>& condition, int timeoutMilliseconds)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMilliseconds;

    while (! condition())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return false;

        juce::MessageManager::getInstance()->runDispatchLoopUntil (5);
    }

    return true;
}
