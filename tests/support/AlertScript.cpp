#include "AlertScript.h"

juce::AlertWindow* OpenAlert()
{
    return dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
}

std::vector<juce::TextButton*> ButtonsOf (juce::AlertWindow& alert)
{
    std::vector<juce::TextButton*> buttons;

    for (auto* child : alert.getChildren())
        if (auto* button = dynamic_cast<juce::TextButton*> (child))
            buttons.push_back (button);

    return buttons;
}

// The framework shows the message only through the alert's accessible description,
// which it builds as the title, ". " and the message.
std::string MessageOf (juce::AlertWindow& alert)
{
    return alert.getDescription().fromFirstOccurrenceOf (alert.getName() + ". ", false, false).toStdString();
}

void PressTheOnlyButton (juce::AlertWindow& alert)
{
    ButtonsOf (alert).front()->triggerClick();
}

//==============================================================================
AlertScript::AlertScript (std::function<void (juce::AlertWindow&)> stepToRun)
    : step (std::move (stepToRun))
{
    startTimer (20);
}

AlertScript::~AlertScript()
{
    stopTimer();
}

double AlertScript::MillisecondsSinceItRan() const
{
    return juce::Time::getMillisecondCounterHiRes() - ranAt;
}

void AlertScript::timerCallback()
{
    auto* alert = OpenAlert();

    if (alert == nullptr)
        return;

    if (! HasRun())
    {
        ranAt = juce::Time::getMillisecondCounterHiRes();
        step (*alert);
    }
    else if (MillisecondsSinceItRan() > 5000.0)
    {
        closedByForce = true;
        PressTheOnlyButton (*alert);
    }
}
