#pragma once

#include <functional>
#include <string>
#include <vector>

#include <juce_gui_basics/juce_gui_basics.h>

/** The alert window that is modal now, if any. */
juce::AlertWindow* OpenAlert();

std::vector<juce::TextButton*> ButtonsOf (juce::AlertWindow& alert);

/** The alert's message text. */
std::string MessageOf (juce::AlertWindow& alert);

void PressTheOnlyButton (juce::AlertWindow& alert);

/** Does one thing to the alert once it is open, from inside the modal loop that shows
    it. An alert still open long after that is closed through its button, so that a
    failing test ends instead of hanging. */
class AlertScript : private juce::Timer
{
public:
    explicit AlertScript (std::function<void (juce::AlertWindow&)> stepToRun);
    ~AlertScript() override;

    bool HasRun() const noexcept { return ranAt > 0.0; }
    bool HadToCloseTheAlert() const noexcept { return closedByForce; }
    double MillisecondsSinceItRan() const;

private:
    void timerCallback() override;

    std::function<void (juce::AlertWindow&)> step;
    double ranAt = 0.0;
    bool closedByForce = false;
};
