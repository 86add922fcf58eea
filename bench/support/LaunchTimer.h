#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "X11Display.h"

/** Starts a program and measures the time from its start until the display shows one
    of its top-level windows mapped at a given size; then ends the program.
*/
class LaunchTimer
{
public:
    using Environment = std::vector<std::pair<std::string, std::string>>;

    explicit LaunchTimer (X11Display& display);

    /** Milliseconds until the window is there; nothing when the program ended first or
        the window did not come within the timeout (the reason then in `problem`). */
    std::optional<double> Measure (const juce::File& executable, const Environment& environment,
                                   int width, int height, std::string& problem);

private:
    X11Display& display;
};
