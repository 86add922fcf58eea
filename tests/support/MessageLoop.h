#pragma once

#include <functional>

/** Runs the message loop until everything posted before this call has been dispatched,
    modal loops that a message opens included. */
void RunPendingMessages();

/** Runs the message loop until the condition holds, for at most the given time; tells
    whether it holds. */
bool RunMessagesUntil (const std::function<bool()>& condition, int timeoutMilliseconds = 10000);
