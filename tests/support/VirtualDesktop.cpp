#include "VirtualDesktop.h"

VirtualDesktop::VirtualDesktop (int scale, juce::Rectangle<int> screen, int timeoutMilliseconds)
    : session (juce::File (ORVO_SOURCE_DIR).getChildFile ("scripts/desktop"),
               {},
               { "--scale", std::to_string (scale), "--size",
                 std::to_string (screen.getWidth()) + "x" + std::to_string (screen.getHeight()),
                 // The desktop's command names its display, once it is up, and then only waits.
                 "--", "sh", "-c", R"(echo "$DISPLAY" >"$1.new" && mv "$1.new" "$1" && exec sleep 86400)", "sh",
                 (folder / "display").getFullPathName().toStdString() })
{
    for (int waited = 0; name.empty() && waited < timeoutMilliseconds && session.IsRunning(); waited += 50)
    {
        juce::Thread::sleep (50);
        name = juce::String (ReadFile (folder / "display")).trim().toStdString();
    }
}

VirtualDesktop::~VirtualDesktop()
{
    // To the whole group: the command ends, and the script then stops what it started.
    ::kill (-session.GetPid(), SIGTERM);
    session.WaitForExit (10000);
}
