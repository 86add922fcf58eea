#include "FontListReader.h"

#include <system_error>
#include <thread>

#include <juce_graphics/juce_graphics.h>

namespace
{
struct Reading
{
    bool started = false;
    std::thread thread;

    ~Reading()
    {
        if (thread.joinable())
            thread.join();
    }
};

Reading& reading()
{
    static Reading instance;
    return instance;
}
}

void FontListReader::Start()
{
    auto& current = reading();
    if (current.started)
        return;

    current.started = true;
    try
    {
        current.thread = std::thread ([] { juce::Font::findAllTypefaceNames(); });
    }
    catch (const std::system_error&)
    {
        // Then the list is read when a text first needs it.
    }
}

void FontListReader::Finish()
{
    auto& current = reading();
    if (current.thread.joinable())
        current.thread.join();
}
