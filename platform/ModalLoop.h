#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A nested modal loop that sleeps until there is something to do.

    The framework's own modal loop on Linux asks the event loop for work and, finding
    none, sleeps for a millisecond and asks again: an alert that waits for the user keeps
    the message thread waking a thousand times a second. This one waits in the event loop
    itself, as the application's main loop does, and wakes only for events, messages and
    timers.
*/
class ModalLoop final
{
public:
    /** Makes the component modal and runs the loop until its modal state ends (it is
        closed or deleted) or the application is asked to quit; returns the result that
        the modal state ended with, 0 when it did not end. */
    static int Run (juce::Component& component);
};
