#pragma once

#include "FixedSizeWindowHints.h"
#include "OrvoHostApplication.h"

/** The one fixed-size window; its content is the host and it follows the content's size. */
class OrvoHostApplication::MainWindow : public juce::DocumentWindow
{
public:
    MainWindow (const std::string& applicationName, const SynthConfig& config);
    ~MainWindow() override;

    void closeButtonPressed() override;

private:
    const std::string& applicationName;
    const SynthConfig& config;

    // The framework's X11 peer loses the non-resizable hints on every resize.
    std::unique_ptr<FixedSizeWindowHints> fixedSizeHints;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MainWindow)
};
