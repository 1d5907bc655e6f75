// Waiting in Windows tests. A check that something did not happen waits for a
// round trip through the message queue, never for a fixed time: the queue
// being empty is what "it would have happened by now" means.
#pragma once

#include <windows.h>

#include <functional>

namespace tk::test {

// Handles this thread's messages (and calls synchronized from workers) until
// Done() holds or TimeoutMs pass; true when it held.
bool PumpUntil(const std::function<bool()>& Done, int TimeoutMs = 3000);

// Handles everything already queued for this thread, and what that queues in
// turn, until the queue is empty.
void PumpPending();

// Handles messages for Ms milliseconds. Only for waits where time itself must
// pass: a timer's interval, a worker thread's steps.
void PumpFor(int Ms);

// Waits until the thread that owns Wnd, a window of another thread or
// process, has come back to its message loop Rounds times. A loop takes sent
// messages before queued ones, so every round after the first lets it handle
// at least one message (input included) that was queued before the call.
// False when that thread hung or TimeoutMs passed. The tests' own windows
// take PumpPending instead.
bool RoundTrip(HWND Wnd, int Rounds = 8, int TimeoutMs = 5000);

}  // namespace tk::test
