#include "ModalLoop.h"

#include <memory>

namespace juce
{
// The framework's Linux event loop: dispatches what is pending, or sleeps until something
// is (with false), and returns true once it has dispatched something.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

int ModalLoop::Run (juce::Component& component)
{
    // Shared with the callback, which may run after this returns (a quit ends the loop
    // while the component is still modal).
    struct Outcome
    {
        bool finished = false;
        int result = 0;
    };
    const auto outcome = std::make_shared<Outcome>();

    component.enterModalState (true, juce::ModalCallbackFunction::create ([outcome] (int result)
    {
        outcome->finished = true;
        outcome->result = result;
    }));

    auto* messageManager = juce::MessageManager::getInstance();
    while (! outcome->finished && ! messageManager->hasStopMessageBeenSent())
        juce::dispatchNextMessageOnSystemQueue (false);

    return outcome->result;
}
