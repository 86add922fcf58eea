#pragma once

#include <juce_graphics/juce_graphics.h>

#include "AppProcess.h"

/** A desktop of its own, as scripts/desktop starts one: a virtual display of the size given,
    the scale given announced as a GNOME session at that scale announces it (XSETTINGS), and
    GNOME's window manager. Ended, with all it started, at destruction. */
class VirtualDesktop
{
public:
    VirtualDesktop (int scale, juce::Rectangle<int> screen, int timeoutMilliseconds);
    ~VirtualDesktop();

    /** The display, as DISPLAY names it; empty when the desktop did not come up. */
    const std::string& GetName() const noexcept { return name; }
    std::string GetStandardError() const { return session.GetStandardError(); }

private:
    TemporaryFolder folder;
    AppProcess session;
    std::string name;
};
