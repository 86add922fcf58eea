#pragma once

/** Has the framework read the list of installed fonts on a thread of its own, so that
    the work done meanwhile need not wait for it.

    The framework reads that list once, when a text is first measured or drawn, and it
    keeps the list unguarded: between Start() and Finish() nothing may measure or draw a
    text. Both are called on the message thread.
*/
class FontListReader
{
public:
    /** Starts reading, unless reading has been started before. */
    static void Start();

    /** Waits until the reading that Start() began has ended; at once when there is none. */
    static void Finish();
};
